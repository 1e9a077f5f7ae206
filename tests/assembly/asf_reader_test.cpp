// Reading assembly files: the document structure, the three forms and damaged files.
#include "tests/assembly/asf_fixture.h"

#include <kivctrl/placement.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

using asftest::AsfTest;
using asftest::tree;

constexpr const char *kUnbalanced = "Unbalanced parentheses in assembly file.";
constexpr const char *kUnknown = "Unknown token found.";

// A small assembly as a designer writes it: nested groups, three instances of one part file
// and one of another, a light, a viewpoint, a preset and materials.
const std::string kAssembly = R"(; gearbox
ENVIRONMENT (
  BACKGROUND ( 0.1, 0.2, 0.3 )
  UNITS ( 2 )
  PRESET ( NAME ( side ) LOCATION ( 1, 2, 3 ) ORIENTATION ( 0, 0, 90 ) )
  LIGHT ( NAME ( sun ) LOCATION ( 0, 0, 50 ) )
  VIEWPOINT ( NAME ( front ) LOCATION ( 0, -40, 0 ) VIEWANGLE ( 30 ) ACTIVE ( 1 ) )
  GROUP ( NAME ( frame ) LOCATION ( 10, 0, 0 ) ORIENTATION ( 0, 0, 90 )
    OBJECT ( NAME ( bolt1 ) FILE ( parts/bolt.kvg ) LOCATION ( 1, 0, 0 ) COLOR ( 1, 0, 0 ) )
    OBJECT ( NAME ( bolt2 ) FILE ( parts/bolt.kvg ) LOCATION ( 2, 0, 0 ) )
    GROUP ( NAME ( "inner group" ) ID ( 42 )
      OBJECT ( NAME ( bolt3 ) FILE ( parts/bolt.kvg ) LOCATION ( 0, 0, 5 ) )
    )
  )
  COLOR ( 0, 1, 0 )
  OBJECT ( NAME ( plate ) FILE ( parts/plate.kvg ) ACTIVE ( 1 ) )
)
)";

class AssemblyRead : public AsfTest {
protected:
    void SetUp() override
    {
        write("parts/bolt.kvg", asftest::kTrianglePart);
        write("parts/plate.kvg", asftest::kTrianglePart);
    }

    void expect_gearbox(_object *root)
    {
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(tree(root), "R:[V:front,L:sun,G:frame[P:bolt1,P:bolt2,G:inner group[P:bolt3]],"
                              "P:plate]");
        _object *frame = name_to_obj("frame");
        _object *bolt1 = name_to_obj("bolt1");
        _object *bolt3 = name_to_obj("bolt3");
        QEL_VECT3 p{};
        obj_get_pos(bolt1, p, FRAME_PARENT);
        EXPECT_NEAR(p.x, 1.0f, 1e-4f);
        // The group turns its parts a quarter turn about z.
        obj_get_pos(bolt1, p, FRAME_WORLD);
        EXPECT_NEAR(p.x, 10.0f, 1e-4f);
        EXPECT_NEAR(p.y, 1.0f, 1e-4f);
        obj_get_pos(bolt3, p, FRAME_WORLD);
        EXPECT_NEAR(p.z, 5.0f, 1e-4f);
        EXPECT_EQ(obj_get_id(name_to_obj("inner group")), 42);
        EXPECT_EQ(obj_get_unique(frame), 1);

        QEL_COLOR c{};
        int level = 0;
        obj_get_color(bolt1, c, level);
        EXPECT_EQ(c.r, 1.0f);
        EXPECT_EQ(level, 100);
        // COLOR after the closed group applies to the group.
        obj_get_color(frame, c, level);
        EXPECT_EQ(c.g, 1.0f);
        obj_get_color(root, c, level);
        EXPECT_FLOAT_EQ(c.b, 0.3f);
        EXPECT_EQ(RootGetUnits(obj_get_assembly(root)), 2);
        EXPECT_FLOAT_EQ(obj_get_viewangle(name_to_obj("front")), 30.0f);

        ASSERT_EQ(root->presetlist.count(), 1);
        const _preset *side = root->presetlist.get(1);
        EXPECT_EQ(side->name, "side");
        EXPECT_EQ(side->position.z, 3.0f);
        QEL_QUAT q;
        q.from_eang(0, 0, 90);
        EXPECT_NEAR(side->orientation.z, q.z, 1e-6f);
        EXPECT_NEAR(side->orientation.w, q.w, 1e-6f);
        EXPECT_EQ(std::string(RootGetAssyPath(obj_get_assembly(root))), dir.path());
    }
};

TEST_F(AssemblyRead, BuildsTheTreeWithPlacementsColoursAndOneReadPerPartFile)
{
    asftest::CountingPartFactory parts;
    _object *root = read(kAssembly);
    expect_gearbox(root);
    EXPECT_TRUE(errors.error_formats().empty()) << errors.error_formats().front();
    // The tree build loads every active part: the three bolts share one read.
    for (const char *name : {"bolt1", "bolt2", "bolt3"})
        obj_set_active(name_to_obj(name), 1);
    EXPECT_EQ(parts.reads.size(), 2u);
    EXPECT_NE(name_to_obj("bolt2")->gsobject, nullptr);
}

TEST_F(AssemblyRead, TheThreeFormsGiveTheSameTree)
{
    const std::vector<std::pair<std::string, std::string>> forms = {
        {"a.kvasf", kAssembly},
        {"a.asf", asftest::to_compressed(kAssembly, dir.file("scratch"))},
        {"a.xmlasf", asftest::to_tags(kAssembly)},
    };
    for (const auto &[name, bytes] : forms) {
        SCOPED_TRACE(name);
        expect_gearbox(read(bytes, name));
        EXPECT_TRUE(errors.error_formats().empty()) << errors.error_formats().front();
        drop_all();
    }
}

TEST_F(AssemblyRead, FactoriesAreFoundByNameAndTakeOnlyAssemblies)
{
    LoaderFactory *text = loader_get_factory("KIV Assembly");
    LoaderFactory *tags = loader_get_factory("XML KIV Assembly");
    ASSERT_NE(text, nullptr);
    ASSERT_NE(tags, nullptr);
    EXPECT_EQ(loader_get_factory("kvasf"), nullptr);
    EXPECT_STREQ(text->suffix(1), "kvasf");
    EXPECT_STREQ(text->suffix(2), "asf");
    EXPECT_STREQ(tags->suffix(), "xmlasf");
    EXPECT_EQ(text->hints() & LOADER_HINT_KEEP_VIEW, LOADER_HINT_KEEP_VIEW);
    EXPECT_GT(text->priority(), tags->priority());

    const std::string part = write("p.kvg", asftest::kTrianglePart);
    const std::string xml = write("x.xmlasf", "<?xml version=\"1.0\"?>\n<!-- made > here -->\n"
                                              "<ENVIRONMENT></ENVIRONMENT>");
    const std::string bom = write("b.kvasf", "\xEF\xBB\xBF ENVIRONMENT ( )");
    const std::string other = write("o.kvasf", "; a comment\n GROUP ( )");
    EXPECT_EQ(loader_legal("KIV Assembly", nullptr, nullptr, part.c_str(), nullptr), 0);
    EXPECT_EQ(loader_legal("KIV Assembly", nullptr, nullptr, other.c_str(), nullptr), 0);
    EXPECT_EQ(loader_legal("KIV Assembly", nullptr, nullptr, bom.c_str(), nullptr), 1);
    EXPECT_EQ(loader_legal("KIV Assembly", nullptr, nullptr, xml.c_str(), nullptr), 0);
    EXPECT_EQ(loader_legal("XML KIV Assembly", nullptr, nullptr, xml.c_str(), nullptr), 1);
    EXPECT_EQ(assy_read(bom.c_str()), 0);
    made.push_back(obj_get_assembly(db_get_root()));
}

TEST_F(AssemblyRead, PartNamesWrittenOnWindowsOpen)
{
    asftest::CountingPartFactory parts;
    write("Parts/Bolt.kvg", asftest::kTrianglePart);
    ASSERT_NE(read("ENVIRONMENT ( OBJECT ( NAME ( b ) FILE ( parts\\BOLT.kvg ) ) )"), nullptr);
    _object *b = name_to_obj("b");
    EXPECT_EQ(obj_set_active(b, 1), 0);
    EXPECT_EQ(parts.reads.size(), 1u);
    EXPECT_NE(b->gsobject, nullptr);
}

// Answers part locate requests (801) with a fixed path, or gives up when it is empty.
struct PartLocator : MsgHandlerImp {
    explicit PartLocator(std::string path) : answer(std::move(path)) { msg_handler_register(this); }
    ~PartLocator() override { msg_handler_unregister(this); }
    const char *name() override { return "assembly test locator"; }
    int handle(short code, void *data, std::intptr_t) override
    {
        if (code != MSG_LOCATE_PART)
            return 0;
        auto *request = static_cast<QEL_LOCATE_REQUEST *>(data);
        asked.emplace_back(request->sought);
        std::snprintf(request->answer, static_cast<std::size_t>(request->answer_size), "%s",
                      answer.c_str());
        return 0;
    }
    std::string answer;
    std::vector<std::string> asked;
};

TEST_F(AssemblyRead, MissingPartFilesAreLocatedOrLeaveOnlyTheirObjectInactive)
{
    msg_locate_set_dir(MSG_LOCATE_PART, nullptr);
    const std::string text = "ENVIRONMENT ( OBJECT ( NAME ( lost ) FILE ( gone/bolt.kvg ) ACTIVE ( 1 ) ) "
                             "OBJECT ( NAME ( found ) FILE ( parts/plate.kvg ) ACTIVE ( 1 ) ) )";
    {
        PartLocator nobody("");
        ASSERT_NE(read(text), nullptr);
        EXPECT_EQ(name_to_obj("lost")->active, 0);
        EXPECT_EQ(name_to_obj("found")->active, 1);
        EXPECT_FALSE(nobody.asked.empty());
    }
    drop_all();
    PartLocator helper(dir.file("parts/bolt.kvg"));
    ASSERT_NE(read(text), nullptr);
    EXPECT_EQ(name_to_obj("lost")->active, 1);
    EXPECT_NE(name_to_obj("lost")->gsobject, nullptr);
    msg_locate_set_dir(MSG_LOCATE_PART, nullptr);
}

TEST_F(AssemblyRead, RecordsAfterAClosedContainerApplyToItAndTheNextObjectIsItsSibling)
{
    _object *root = parse("ENVIRONMENT ( GROUP ( NAME ( A ) ) COLOR ( 1, 0, 0 ) NAME ( X ) "
                          "OBJECT ( NAME ( B ) ) )");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(tree(root), "R:[G:A,P:B]");
    QEL_COLOR c{};
    int level = 0;
    obj_get_color(name_to_obj("A"), c, level);
    EXPECT_EQ(c.r, 1.0f);
}

TEST_F(AssemblyRead, InsertingGivesOneNewSourceIdAndDropsViewpointsAndEnvironmentRecords)
{
    _object *root = read("ENVIRONMENT ( GROUP ( NAME ( host ) ) )");
    ASSERT_NE(root, nullptr);
    _object *host = name_to_obj("host");
    const std::string inserted =
        write("sub.kvasf", "ENVIRONMENT ( BACKGROUND ( 1, 1, 1 ) SOURCEID ( 77 ) "
                           "VIEWPOINT ( NAME ( v ) ) COLOR ( 0, 0, 1 ) "
                           "OBJECT ( NAME ( s1 ) SOURCEID ( 77 ) ) GROUP ( NAME ( s2 ) ) )");
    const int before = obj_get_assembly(root)->GetCurrentSourceID();
    ASSERT_EQ(assy_insert(inserted.c_str(), host), 0);
    EXPECT_EQ(tree(host), "G:host[P:s1,G:s2]");
    const int sid = name_to_obj("s1")->sourceid;
    EXPECT_NE(sid, before);
    EXPECT_EQ(name_to_obj("s2")->sourceid, sid);
    QEL_COLOR c{};
    int level = 0;
    obj_get_color(root, c, level);
    EXPECT_LT(c.r, 0.0f);  // BACKGROUND of an inserted file does not reach the root
    obj_get_color(host, c, level);
    EXPECT_EQ(c.b, 1.0f);  // records after the dropped viewpoint apply to the host again
    EXPECT_EQ(assy_get_state(), ASSY_STATE_NONE);
}

TEST_F(AssemblyRead, ASecondMainFileMakesASecondAssemblyWhateverTheState)
{
    ASSERT_NE(read("ENVIRONMENT ( GROUP ( NAME ( one ) ) )"), nullptr);
    assy_set_state(ASSY_STATE_LOADED);
    _object *second =
        parse("ENVIRONMENT ( BACKGROUND ( 1, 0, 0 ) GROUP ( NAME ( two ) ) )", "b.kvasf");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(tree(second), "R:[G:two]");
    QEL_COLOR c{};
    int level = 0;
    obj_get_color(second, c, level);
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(assy_get_state(), ASSY_STATE_LOADED);
}

// One damaged or unusual file: what reading it gives.
struct Damage {
    const char *name;
    std::string text;
    bool read;                 // assy_read succeeds
    std::string tree;          // the tree made, when read and given
    std::vector<std::string> messages;
};

void PrintTo(const Damage &d, std::ostream *os)
{
    *os << d.name;
}

class DamagedFiles : public AsfTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedFiles, GiveTheirOutcomeAndMessages)
{
    const Damage &d = GetParam();
    _object *root = read(d.text);
    EXPECT_EQ(root != nullptr, d.read);
    if (root && !d.tree.empty()) {
        EXPECT_EQ(tree(root), d.tree);
    }
    EXPECT_EQ(errors.error_formats(), d.messages);
}

// A literal's bytes, embedded zeros included.
template <std::size_t N> std::string bytes(const char (&s)[N])
{
    return std::string(s, N - 1);
}

std::string nested(int depth)
{
    std::string s = "ENVIRONMENT ( ";
    for (int i = 0; i < depth; ++i)
        s += "GROUP ( ";
    s += "NAME ( deepest ) ";
    for (int i = 0; i < depth; ++i)
        s += ") ";
    return s + "GROUP ( NAME ( after ) ) )";
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedFiles,
    ::testing::Values(
        Damage{"Truncated", "ENVIRONMENT ( GROUP ( NAME ( A ) OBJECT ( NAME ( B", true,
               "R:[G:A[P:B]]", {kUnbalanced, kUnbalanced, kUnbalanced}},
        Damage{"UnknownRecordsSkippedWhole",
               "ENVIRONMENT ( FOO ( a ( b ) \"x ) ( ;\" ; ) \n ) GROUP ( NAME ( A ) ) )", true,
               "R:[G:A]", {}},
        Damage{"UnknownWordBeforeClose",
               "ENVIRONMENT ( GROUP ( NAME ( A ) junk ) GROUP ( NAME ( B ) ) )", true,
               "R:[G:A[G:B]]", {kUnknown, kUnbalanced}},
        Damage{"UnexpectedOpen", "ENVIRONMENT ( ( GROUP ( NAME ( A ) ) )", true, "",
               {"Unexpected open parenthesis encountered."}},
        Damage{"StrayCloseAtTopLevel", "ENVIRONMENT ( GROUP ( NAME ( A ) ) ) ) GROUP ( )", true,
               "R:[G:A]", {"Text after the end of the assembly was ignored."}},
        Damage{"NotAnAssembly", "GROUP ( NAME ( A ) )", false, "",
               {"Error from assy_read"}},
        Damage{"EmptyFile", "", false, "", {"Error from assy_read"}},
        Damage{"DeepNesting", nested(100000), true, "",
               {"Records nested deeper than %1 levels were skipped."}},
        Damage{"LongKeyword", "ENVIRONMENT ( " + std::string(100000, 'K') +
                                  " ( x ) GROUP ( NAME ( A ) ) )",
               true, "R:[G:A]", {}},
        Damage{"LongName", "ENVIRONMENT ( GROUP ( NAME ( " + std::string(100000, 'n') + " ) ) )",
               true, "R:[G:" + std::string(255, 'n') + "]", {}},
        Damage{"KeywordBeforeCloseReadsOnBoundedByTheEnd", "ENVIRONMENT ( COLOR ) 1, 0",
               true, "R:[G:assembly]", {kUnbalanced}},
        Damage{"CompressedHeaderOnly", "KVASF V1.2\n", false, "",
               {"The compressed assembly file %1 is damaged.", "Error from assy_read"}},
        Damage{"CompressedNegativeSize",
               bytes("KVASF V1.2\n\xff\xff\xff\xff\x10\x00\x00\x00" "ENVIRONMENT ( )"), false,
               "", {"The compressed assembly file %1 is damaged.", "Error from assy_read"}},
        Damage{"CompressedHugeSizeShortBody",
               bytes("KVASF V1.2\n\x00\x00\x00\x7f\x00\x00\x00\x7f\x01\x02\x03"), false,
               "", {"The compressed assembly file %1 is damaged.", "Error from assy_read"}},
        Damage{"CompressedUndecodableBody",
               bytes("KVASF V1.2\n\x20\x00\x00\x00\x08\x00\x00\x00\x07\x09\xff\xff\xff\xff"
                     "\xff\xff"),
               false, "",
               {"The compressed assembly file %1 is damaged.", "Error from assy_read"}},
        Damage{"CompressedStoredText",
               bytes("KVASF V1.2\n\x0f\x00\x00\x00\x10\x00\x00\x00" "ENVIRONMENT ( )"),
               true, "R:[G:assembly]", {}}),
    [](const ::testing::TestParamInfo<Damage> &info) { return std::string(info.param.name); });

TEST_F(AssemblyRead, DeepNestingKeepsTheLevelsItCanAndReadsOnAfterThem)
{
    _object *root = parse(nested(5000));
    ASSERT_NE(root, nullptr);
    int depth = 0;
    for (_object *o = root; o->children.count() > 0; o = o->children.get(1))
        ++depth;
    EXPECT_EQ(depth, 1000);
    EXPECT_NE(name_to_obj("after"), nullptr);
    EXPECT_EQ(name_to_obj("after")->parent, root);
}

} // namespace
