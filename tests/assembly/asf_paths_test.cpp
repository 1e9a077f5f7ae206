// The path, time line and bookmark records of assembly files: the paths, nodes, placements
// and bookmarks they leave behind.
#include "tests/assembly/asf_fixture.h"

#include <cmath>
#include <cstdint>
#include <utility>

namespace {

using asftest::AsfTest;

// Three objects and their paths: p1 of 3 nodes, p2 of 2, p3 of 4, p4 of 2, 10 frames a step.
constexpr const char *kPaths =
    "PATH ( NAME ( p1 ) PATH_ID ( 11 ) PATH_GUID ( g-1 ) INSTRUCTION ( \"Turn the key\" ) "
    "  INSTRUCTION_N ( key.png ) INSTRUCTION_L ( manual/key.html ) "
    "  NODES ( ( 0, 0, 0 ) ( 0, 0, 0 ) ( 1, 0, 0 ) ( 0, 0, 90 ) ( 2, 0, 0 ) ( 0, 0, 0 ) ) "
    "  PATH_STEPS ( 1, 10, 0 ) PATH_DIR ( -1 ) PATH_TYPE ( 1 ) PATH_VIS ( 0 ) ) "
    "PATH ( NAME ( p2 ) NODES ( ( 0, 0, 0 ) ( 0, 0, 0 ) ( 0, 1, 0 ) ( 0, 0, 0 ) ) ) "
    "PATH ( NAME ( p3 ) FRAMES ( KEYFRAME ( FRAME_POS ( 1, 2, 3 ) FRAME_COLOR ( 1, 0, 0 ) ) "
    "  KEYFRAME ( FRAME_POS ( 4, 5, 6 ) FRAME_TEXTUREANGLE ( 90 ) ) KEYFRAME ( ) "
    "  KEYFRAME ( FRAME_OBJVIS ( 1 ) FRAME_GENGEOM ( BOX, 1, 2, 3 ) ) ) "
    "  WIZDEF ( WIZ_DIST ( 1, 2, 3 ) WIZ_FADEFROM ( 0.5 ) WIZ_AXIS ( 2 ) WIZ_STARTFRAME ( 7 ) ) ) "
    "PATH ( NAME ( p4 ) NODES ( ( 0, 0, 0 ) ( 0, 0, 0 ) ( 0, 0, 1 ) ( 0, 0, 0 ) ) ) "
    "OBJECT ( NAME ( A ) LOCATION ( 5, 6, 7 ) PATH ( p1 ) ) "
    "OBJECT ( NAME ( B ) OBJPATH ( w ( p2 ) w ( p3 ) ) ) "
    "OBJECT ( NAME ( C ) ) OBJECT ( NAME ( D ) ) ";

class Paths : public AsfTest {
protected:
    _object *env(const std::string &records)
    {
        _object *root = read("ENVIRONMENT ( " + records + " )");
        EXPECT_NE(root, nullptr);
        return root;
    }

    // The starts of o's placements, in order.
    static std::vector<double> starts(const char *object)
    {
        std::vector<double> s;
        if (_animobj_struct *rec = anim_find_object(name_to_obj(object))) {
            for (const auto &p : rec->paths)
                s.push_back(p->start);
        }
        return s;
    }
};

TEST_F(Paths, DefinitionsKeepTheirNodesExtrasAndSettings)
{
    env(kPaths);
    EXPECT_TRUE(errors.error_formats().empty()) << errors.error_formats().front();
    _path *p1 = name_to_path("p1");
    ASSERT_NE(p1, nullptr);
    EXPECT_EQ(p1->id, 11);
    EXPECT_STREQ(p1->guid, "g-1");
    EXPECT_EQ(p1->steps, 10.0);
    EXPECT_EQ(p1->direction, -1);
    EXPECT_EQ(p1->path_type, 1);
    EXPECT_EQ(p1->get_visibility(), 0);
    auto *info = static_cast<InstructionInfo *>(p1->get_vars().getvalue("_INSTRUCTION"));
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->getText(), "Turn the key");
    EXPECT_STREQ(info->getNote(), "key.png");
    EXPECT_EQ(std::string(info->getLink()), dir.file("manual/key.html"));

    // Attached, a NODES path keeps the file's positions and orientations: they are what it
    // animates, and only what it does not animate is taken from the object.
    ASSERT_EQ(p1->get_nodecount(), 3);
    EXPECT_EQ(p1->get_associated_object(), name_to_obj("A"));
    EXPECT_TRUE(p1->get_status(PATH_ATTR_POSITION) && p1->get_status(PATH_ATTR_ORIENTATION));
    EXPECT_FALSE(p1->get_status(PATH_ATTR_COLOR));
    EXPECT_EQ(p1->get_node(1)->position.x, 1.0f);
    QEL_QUAT q;
    q.from_eang(0, 0, 90);
    EXPECT_NEAR(p1->get_node(1)->orientation.z, q.z, 1e-6f);
    EXPECT_NEAR(p1->get_node(1)->orientation.w, q.w, 1e-6f);
}

TEST_F(Paths, KeyFramesCopyTheLastNodeAndMarkOnlyTheAttributesTheyMention)
{
    env(kPaths);
    _path *p3 = name_to_path("p3");
    ASSERT_NE(p3, nullptr);
    ASSERT_EQ(p3->get_nodecount(), 4);
    const PathNode *n1 = p3->get_node(1);
    EXPECT_EQ(n1->position.z, 6.0f);
    EXPECT_EQ(n1->material.diffuse.r, 1.0f);  // copied from the first key frame
    EXPECT_FLOAT_EQ(n1->texture->angle, static_cast<float>(M_PI / 2));
    EXPECT_EQ(p3->get_node(2)->position.x, 4.0f);  // an empty key frame repeats the last one
    EXPECT_EQ(p3->get_node(3)->vis, 1);
    EXPECT_EQ(p3->get_node(3)->gen_kind, 1);
    EXPECT_EQ(p3->get_node(3)->gen_params[1], 2.0f);
    for (int bit : {PATH_ATTR_POSITION, PATH_ATTR_COLOR, PATH_ATTR_TEXTURE_ANGLE, PATH_ATTR_VIS,
                    PATH_ATTR_GEOMETRY})
        EXPECT_TRUE(p3->get_status(bit)) << bit;
    for (int bit : {PATH_ATTR_ORIENTATION, PATH_ATTR_TRANSPARENCY, PATH_ATTR_SUSPEND_LINKAGE})
        EXPECT_FALSE(p3->get_status(bit)) << bit;

    auto *wiz = static_cast<PathWizInfo *>(p3->get_vars().getvalue("_PATH_WIZ"));
    ASSERT_NE(wiz, nullptr);
    EXPECT_EQ(wiz->get_distance().y, 2.0f);
    EXPECT_EQ(wiz->get_fadefrom(), 0.5f);
    EXPECT_EQ(wiz->get_axis(), 2);
    EXPECT_EQ(wiz->get_startframe(), 7.0);
    EXPECT_EQ(name_to_obj("B")->pathlist.count(), 2);
}

// The time line in every form of the file: in the tag form the entries are "(A, p1)" or
// "<w>A, p1</w>".
TEST_F(Paths, PathListsRunEntriesOneAfterAnotherAndGroupsSideBySide)
{
    const std::string text =
        std::string("ENVIRONMENT ( ") + kPaths +
        "PATHLIST ( ( A, p1 ) ( START ) w ( B, p2 ) ( C, p3, -1 ) ( END ) ( D, p4 ) ) )";
    const std::vector<std::pair<std::string, std::string>> forms = {
        {"a.kvasf", text},
        {"a.asf", asftest::to_compressed(text, dir.file("scratch"))},
        {"a.xmlasf", asftest::to_tags(text)},
    };
    for (const auto &[name, bytes] : forms) {
        SCOPED_TRACE(name);
        ASSERT_NE(read(bytes, name), nullptr);
        EXPECT_TRUE(errors.error_formats().empty()) << errors.error_formats().front();
        EXPECT_EQ(starts("A"), std::vector<double>{0.0});
        EXPECT_EQ(starts("B"), std::vector<double>{20.0});
        EXPECT_EQ(starts("C"), std::vector<double>{20.0});  // p3 (30 frames) is the longest
        EXPECT_EQ(starts("D"), std::vector<double>{50.0});
        EXPECT_EQ(anim_find_object(name_to_obj("C"))->paths[0]->direction, -1);
        drop_all();
    }
}

TEST_F(Paths, AnimationListsPlaceEachEntryAtItsOwnStart)
{
    env(std::string(kPaths) +
        "ANIMATIONLIST ( w ( A, p1, 12.5, 1 ) w ( B, 12, 3 ) w ( nobody, p2, 1 ) w ( D, p4 ) "
        "w ( C, p3, -4 ) )");
    EXPECT_EQ(starts("A"), std::vector<double>{12.5});
    EXPECT_EQ(starts("B"), std::vector<double>{});  // no path "12" or id 12
    EXPECT_EQ(starts("D"), std::vector<double>{0.0});  // no start: frame 0
    EXPECT_EQ(starts("C"), std::vector<double>{0.0});  // negative starts become 0
    EXPECT_EQ(errors.error_formats().size(), 2u);
}

TEST_F(Paths, AutoplayLoopsOnlyWhenAskedWhateverTheFlagWas)
{
    for (int loop : {1, 1, 0}) {
        env("AUTOPLAY ( " + std::to_string(loop) + " )");
        EXPECT_EQ(traverse_get_loop(), loop);
        drop_all();
    }
}

TEST_F(Paths, BookmarksAreKeptWithTheirObjectAndReplacedByName)
{
    env("OBJECT ( NAME ( A ) BOOKMARK_LIST ( "
        "BOOKMARK ( BOOKMARK_NAME ( b1 ) BOOKMARK_MASK ( 101 ) FRAME_POS ( 1, 2, 3 ) ) "
        "BOOKMARK ( BOOKMARK_NAME ( b2 ) FRAME_COLOR ( 0, 1, 0 ) FRAME_NOTENAME ( n.png ) ) "
        "BOOKMARK ( BOOKMARK_NAME ( b1 ) FRAME_OBJVIS ( 1 ) ) ) ) OBJECT ( NAME ( after ) )");
    EXPECT_TRUE(errors.error_formats().empty()) << errors.error_formats().front();
    _object *a = name_to_obj("A");
    ASSERT_EQ(a->bookmarks.count(), 2);
    const _bookmark *b1 = obj_find_bookmark(a, "b1");
    const _bookmark *b2 = obj_find_bookmark(a, "b2");
    ASSERT_TRUE(b1 && b2);
    EXPECT_EQ(a->bookmarks.get(1), b1);  // replaced in its place
    EXPECT_EQ(b1->vis, 1);
    EXPECT_EQ(b1->position.x, 0.0f);  // the replaced bookmark's values are gone
    EXPECT_EQ(b2->material.diffuse.g, 1.0f);
    EXPECT_EQ(std::string(b2->note->name), dir.file("n.png"));
    // Without a mask record a bookmark holds attributes 1 to 40.
    EXPECT_FALSE(b2->get_mask(0));
    for (int i = 1; i < PATH_ATTR_COUNT; ++i)
        EXPECT_TRUE(b2->get_mask(i)) << i;
    EXPECT_NE(name_to_obj("after"), nullptr);
}

TEST(Bookmark, MaskDigitsSetTheBitsTheyNameAndEveryBitPastTheirEnd)
{
    _bookmark b;
    b.set_mask(1, 0);
    b.set_mask(64, 1);
    b.set_mask(-1, 1);
    EXPECT_EQ(b.mask, ((std::uint64_t{1} << 41) - 1) & ~std::uint64_t{3});
}

TEST_F(Paths, MaskRecordsCountFromBitZero)
{
    env("OBJECT ( NAME ( A ) BOOKMARK ( BOOKMARK_NAME ( m ) BOOKMARK_MASK ( 101 ) ) )");
    const _bookmark *m = obj_find_bookmark(name_to_obj("A"), "m");
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->get_mask(0));
    EXPECT_FALSE(m->get_mask(1));
    for (int i = 2; i < PATH_ATTR_COUNT; ++i)
        EXPECT_TRUE(m->get_mask(i)) << i;
    EXPECT_FALSE(m->get_mask(41));
}

// Damaged path records: each is reported (or dropped) and the object after it is still read,
// inside the same ENVIRONMENT.
struct DamagedPath {
    const char *name;
    const char *records;
    const char *error;  // the message expected once, or null for none
};

class DamagedPaths : public AsfTest, public ::testing::WithParamInterface<DamagedPath> {};

TEST_P(DamagedPaths, AreReportedAndLoseNothingAfterThem)
{
    const DamagedPath &c = GetParam();
    _object *root = read(std::string("ENVIRONMENT ( ") + c.records +
                         " OBJECT ( NAME ( after ) COLOR ( 0, 0, 1 ) ) )");
    ASSERT_NE(root, nullptr);
    EXPECT_NE(name_to_obj("after"), nullptr);
    if (c.error) {
        EXPECT_EQ(errors.errors_with(c.error), 1) << ::testing::PrintToString(errors.error_formats());
        EXPECT_EQ(errors.error_formats().size(), 1u);
    } else {
        EXPECT_TRUE(errors.error_formats().empty()) << errors.error_formats().front();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, DamagedPaths,
    ::testing::Values(
        DamagedPath{"NoName", "PATH ( NODES ( ( 0, 0, 0 ) ( 0, 0, 0 ) ) PATH_VIS ( 1 ) )",
                    "missing name in PATH"},
        DamagedPath{"NoNodes", "PATH ( NAME ( p ) PATH_STEPS ( 1, 5, 0 ) COLOR ( 1, 0, 0 ) )",
                    "missing node in PATH"},
        DamagedPath{"WordAfterTheName",
                    "OBJECT ( NAME ( A ) PATH ( p extra, more ) )",
                    "Unexpected token in path definition"},
        DamagedPath{"UnknownPath", "OBJECT ( NAME ( A ) PATH ( nowhere ) )",
                    "Path \"%1\" was not found."},
        DamagedPath{"UnknownPathInAList", "PATHLIST ( ( nobody, nowhere ) ( START ) )",
                    "The time line entry \"%1\", \"%2\" was not placed: its object or path was "
                    "not found."},
        DamagedPath{"StepsOfZero",
                    "PATH ( NAME ( p ) NODES ( ) PATH_STEPS ( 1, 0, 0 ) )",
                    "Path \"%1\" keeps its frames per step: a step must last more than 0 "
                    "frames."},
        DamagedPath{"MaterialFramesOutsideAPath",
                    "FRAME_COLOR ( 1, 0, 0 ) FRAME_TRANSP ( 0.5 ) FRAME_MATSHADOW ( 1 ) "
                    "KEYFRAME ( FRAME_POS ( 1, 1, 1 ) ) WIZDEF ( WIZ_FADE ( 1 ) )",
                    nullptr},
        DamagedPath{"NodesOutsideADefinition",
                    "OBJECT ( NAME ( A ) NODES ( ( 1, 2, 3 ) ( 0, 0, 0 ) ) )", nullptr},
        DamagedPath{"NamedRecordInAnAttachment",
                    "PATH ( NAME ( p ) NODES ( ) ) OBJECT ( NAME ( A ) PATH ( NAME ( p ) ) )",
                    nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Paths, InsertedFilesContributePathsOnlyWhenAsked)
{
    const std::string inserted = write(
        "part.kvasf", "ENVIRONMENT ( PATHDEF ( NAME ( q ) NODES ( ( 0, 0, 0 ) ( 0, 0, 0 ) "
                      "( 1, 0, 0 ) ( 0, 0, 0 ) ) ) OBJECT ( NAME ( X ) ) "
                      "ANIMATIONLIST ( w ( X, q, 5 ) ) PATHLIST ( ( X, q ) ) )");
    _object *root = env("GROUP ( NAME ( host ) )");
    ASSERT_NE(root, nullptr);
    SetInsertComponentPathInfo(0, 1, 100);
    ASSERT_EQ(assy_insert(inserted.c_str(), name_to_obj("host")), 0);
    EXPECT_EQ(name_to_path("q"), nullptr);
    EXPECT_EQ(starts("X"), std::vector<double>{});

    SetInsertComponentPathInfo(1, 1, 100);
    ASSERT_EQ(assy_insert(inserted.c_str(), name_to_obj("host")), 0);
    SetInsertComponentPathInfo(0, 0, 0);
    ASSERT_NE(name_to_path("q"), nullptr);
    // The list's start moved by the frames asked for; the path list starts at 0.
    EXPECT_EQ(starts("X"), (std::vector<double>{0.0, 105.0}));
}

} // namespace
