// The object records of assembly files: what each one leaves in the database.
#include "tests/assembly/asf_fixture.h"

#include <kivctrl/placement.h>
#include <kivctrl/ve_env.h>

#include <cstdint>

namespace {

using asftest::AsfTest;
using asftest::tree;

class Records : public AsfTest {
protected:
    // Reads the records inside ENVIRONMENT ( … ); the root made.
    _object *env(const std::string &records)
    {
        _object *root = read("ENVIRONMENT ( " + records + " )");
        EXPECT_NE(root, nullptr);
        return root;
    }

    QEL_VECT3 pos(const char *name)
    {
        QEL_VECT3 p{};
        obj_get_pos(name_to_obj(name), p, FRAME_PARENT);
        return p;
    }
};

TEST_F(Records, TheFirstNameWinsAndIdentityRecordsSetTheirFields)
{
    env("OBJECT ( NAME ( first ) NAME ( second ) ID ( 7 ) GUID ( \"g-1 x\" ) USAGE ( 3 ) "
        "EXPANDED ( 0 ) SOURCEID ( 9 ) )");
    _object *o = name_to_obj("first");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(name_to_obj("second"), nullptr);
    EXPECT_EQ(o->id, 7);
    EXPECT_STREQ(o->guid, "g-1 x");
    EXPECT_EQ(o->usage, 3);
    EXPECT_EQ(o->expand, 0);
    EXPECT_EQ(o->sourceid, 9);
}

TEST_F(Records, PresetNeedsNameLocationOrientationInOrder)
{
    _object *root = env("PRESET ( LOCATION ( 1, 2, 3 ) NAME ( p ) ORIENTATION ( 0, 0, 0 ) ) "
                        "PRESET ( NAME ( q ) LOCATION ( 4, 5, 6 ) ORIENTATION ( 0, 0, 0 ) "
                        "GROUP ( NAME ( inside ) ) )");
    ASSERT_EQ(root->presetlist.count(), 1);
    EXPECT_EQ(root->presetlist.get(1)->name, "q");
    EXPECT_EQ(root->presetlist.get(1)->position.y, 5.0f);
    // Records after the first three are ordinary records.
    EXPECT_EQ(tree(root), "R:p[G:inside]");  // the first NAME was the root's
    EXPECT_TRUE(errors.error_formats().empty());
}

TEST_F(Records, PlacementsSkipValuesThatDoNotScanAndIgnoreConstraints)
{
    env("OBJECT ( NAME ( p ) CONSTRAIN ( 1, 0, 0, 0, 0, 1 ) LOCATION ( 1, 2, 3 ) "
        "LOCATION ( 1e400, 0, 0 ) LOCATION ( nan, 0, 0 ) LOCATION ( 1, 2 ) LOCATION ( a, b, c ) "
        "CONSTRAINT_MODE ( local ) SCALE ( 2, 2, 2 ) )");
    const QEL_VECT3 p = pos("p");
    EXPECT_EQ(p.x, 1.0f);
    EXPECT_EQ(p.y, 2.0f);
    EXPECT_EQ(p.z, 3.0f);
    _object *o = name_to_obj("p");
    const unsigned expected[6] = {4, 0, 0, 0, 0, 4};
    for (int dof = 0; dof < 6; ++dof)
        EXPECT_EQ(obj_get_constrain(o, dof), expected[dof]) << dof;
    EXPECT_EQ(obj_get_constraint_mode(o), CONSTRAINT_LOCAL);
}

TEST_F(Records, FileinfoWaitsForSourceinfoWithinItsOwnObject)
{
    env("OBJECT ( NAME ( a ) FILEINFO ( a.kvg, \"KIV Part\", opts, 5 ) FILE ( ignored.kvg ) "
        "SOURCEINFO ( src/a.stl, Stereolithography ) FILE ( b.kvg, 10 ) ) "
        "OBJECT ( NAME ( b ) FILEINFO ( c.kvg ) ) "
        "OBJECT ( NAME ( c ) SOURCEINFO ( stray.kvg ) FILE ( d.kvg ) FILEINFO ( \"\" ) )");
    _object *a = name_to_obj("a");
    ASSERT_EQ(a->geolist.count(), 2);
    const _geometry *g = a->geolist.get(1);
    EXPECT_EQ(std::string(g->part.name), dir.file("a.kvg"));
    EXPECT_STREQ(g->part.type, "KIV Part");
    EXPECT_STREQ(g->part.params, "opts");
    EXPECT_EQ(g->threshold, 5.0f);
    EXPECT_EQ(std::string(g->source.name), dir.file("src/a.stl"));
    EXPECT_STREQ(g->source.type, "Stereolithography");
    EXPECT_EQ(std::string(a->geolist.get(2)->part.name), dir.file("b.kvg"));
    // A FILEINFO left waiting in b is not c's: c's SOURCEINFO changes nothing, its FILE counts.
    _object *b = name_to_obj("b");
    EXPECT_EQ(std::string(b->geolist.get(1)->source.name), dir.file("c.kvg"));
    _object *c = name_to_obj("c");
    ASSERT_EQ(c->geolist.count(), 2);
    EXPECT_EQ(std::string(c->geolist.get(1)->part.name), dir.file("d.kvg"));
    // An empty name never becomes the reading directory.
    EXPECT_EQ(c->geolist.get(2)->source.name, nullptr);
}

struct Shape {
    const char *record;
    _geom_params expected;
    int messages;
};

TEST_F(Records, GeometryKindsFillTheirParametersAndCapSegments)
{
    auto params = [](int kind, int seg, int seg2, std::initializer_list<std::pair<int, float>> p) {
        _geom_params g;
        g.kind = kind;
        g.segments = seg;
        g.segments2 = seg2;
        for (auto [i, v] : p)
            g.p[i] = v;
        return g;
    };
    const Shape shapes[] = {
        {"GEOMETRY ( CONE, 2, 3, 11.6 )", params(2, 12, 10, {{4, 2}, {3, 3}}), 0},
        {"GEOMETRY ( box, 1, 2, 3 )", params(1, 10, 10, {{0, 1}, {1, 2}, {2, 3}}), 0},
        {"GEOMETRY ( CYLINDER, 2 )", params(3, 25, 10, {{4, 2}}), 0},
        {"GEOMETRY ( SPHERE, 4, 1e9 )", params(4, 4096, 10, {{3, 4}}), 1},
        {"GEOMETRY ( PLANE, 5, 6 )", params(6, 10, 10, {{5, 5}, {4, 6}}), 0},
        {"GEOMETRY ( HELIX, 1, 2, 3, 4, -5, 6 )",
         params(5, 3, 1, {{4, 1}, {6, 2}, {7, 4}, {8, 6}}), 1},
        {"GEOMETRY ( TORUS, 1, 2 )", params(0, 10, 10, {}), 0},
        {"GEOMETRY ( BOX )", params(0, 10, 10, {}), 0},
    };
    for (const Shape &s : shapes) {
        SCOPED_TRACE(s.record);
        errors.clear();
        env(std::string("OBJECT ( NAME ( s ) ") + s.record + " )");
        _object *o = name_to_obj("s");
        const auto *g = static_cast<const _geom_params *>(o->vars.getvalue("_GEOM_PARAMS"));
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->kind, s.expected.kind);
        EXPECT_EQ(g->segments, s.expected.segments);
        EXPECT_EQ(g->segments2, s.expected.segments2);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(g->p[i], s.expected.p[i]) << i;
        EXPECT_EQ(o->geolist.count(), 1);
        EXPECT_EQ(static_cast<int>(errors.error_formats().size()), s.messages);
        drop_all();
    }
}

TEST_F(Records, ActivationWaitsForTheLoadingThreadAndExtentsShowAsBoxes)
{
    env_set_threading(true);
    ASSERT_NE(parse("ENVIRONMENT ( OBJECT ( NAME ( part ) FILE ( missing.kvg ) ACTIVE ( 1 ) "
                    "EXTENT ( 1, 2, 3 ) FACE ( NAME ( f ) ACTIVE ( 1 ) ) ) "
                    "OBJECT ( NAME ( shape ) GEOMETRY ( BOX, 1, 1, 1 ) ACTIVE ( 1 ) "
                    "EXTENT ( 4, 4, 4 ) ) )"),
              nullptr);
    _object *part = name_to_obj("part");
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(part->vars.getvalue("_ACTIVE")), 1);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(name_to_obj("f")->vars.getvalue("_ACTIVE")), 1);
    // The extent box was shown; its shape record is gone, so the file is loaded later.
    EXPECT_EQ(part->vars.find("_GEOM_PARAMS"), 0);
    _object *shape = name_to_obj("shape");
    EXPECT_EQ(shape->vars.find("_ACTIVE"), 0);
    const auto *g = static_cast<const _geom_params *>(shape->vars.getvalue("_GEOM_PARAMS"));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->p[0], 1.0f);
}

TEST_F(Records, PropertiesAndDefaults)
{
    _object *root = env("OBJECT ( NAME ( o ) PROP ( weight, \"12 kg\", OFF, ignored ) "
                        "PROP ( colour, red, ON, x ) DEFPROP ( maker, Maker, off, acme ) )");
    Props *p = obj_get_props(name_to_obj("o"));
    ASSERT_NE(p->get("weight"), nullptr);
    EXPECT_STREQ(p->get("weight")->getValue(), "12 kg");
    EXPECT_EQ(p->get("weight")->getState(), 1);
    EXPECT_EQ(p->get("colour")->getState(), 0);
    Props &defaults = obj_get_assembly(root)->GetDefaultProps();
    ASSERT_NE(defaults.get("weight"), nullptr);
    EXPECT_STREQ(defaults.get("weight")->getLabel(), "weight");
    ASSERT_NE(defaults.get("maker"), nullptr);
    EXPECT_STREQ(defaults.get("maker")->getValue(), "acme");
    EXPECT_STREQ(defaults.get("maker")->getLabel(), "Maker");
    EXPECT_EQ(defaults.get("maker")->getState(), 1);
}

TEST_F(Records, AShortColourListNeverTakesTheRecordsAfterIt)
{
    _object *root = env("CUSTOMCOLORS ( ( 1, 0, 0 ) (0,0.5,0) GROUP ( NAME ( g ) ) ) "
                        "UNITS ( 7 ) GROUP ( NAME ( h ) BACKGROUND ( 1, 1, 1 ) )");
    KivAssembly *a = obj_get_assembly(root);
    EXPECT_EQ(a->GetCustomColor(0).r, 1.0f);
    EXPECT_EQ(a->GetCustomColor(1).g, 0.5f);
    EXPECT_EQ(tree(root), "R:[G:g,G:h]");
    EXPECT_EQ(RootGetUnits(a), 0);
    QEL_COLOR c{};
    int level = 0;
    obj_get_color(name_to_obj("h"), c, level);
    EXPECT_LT(c.r, 0.0f);  // BACKGROUND inside a group has no effect
    EXPECT_TRUE(errors.error_formats().empty());
}

TEST_F(Records, FacesOnlyUnderPartsAndNestedEnvironmentsCloseOnlyThemselves)
{
    _object *root = env("GROUP ( NAME ( g ) FACE ( NAME ( lost ) ) ENVIRONMENT ( NAME ( x ) ) "
                        "OBJECT ( NAME ( p ) FACE ( NAME ( f ) FACEINFO ( 1, 3 ) ) ) )");
    EXPECT_EQ(tree(root), "R:[G:g[P:p[F:f]]]");
    EXPECT_EQ(name_to_obj("f")->face_index, 3);
}

TEST_F(Records, RecordsWithoutEffectAndTasksWithUnknownKindsLoseNothingAfterThem)
{
    _object *root = env("PUBLISHDATA ( PUB_TITLE ( x ) ) INSTRUCTION ( \"a ) b\" ) "
                        "TASKLIST ( BEHAVIOR ( no_such_kind, 1, 1, 2, 3 ) BEHAVIOR ( ( ) ) ) "
                        "PUB_AUTHOR ) GROUP ( NAME ( after ) )");
    EXPECT_EQ(tree(root), "R:[G:after]");
    EXPECT_TRUE(errors.error_formats().empty()) << errors.error_formats().front();
}

TEST_F(Records, LayersAreMadeUpToTheOneAskedForWithinABoundAndKeepSpacedNames)
{
    env("OBJECT ( NAME ( o ) LAYER ( 3 ) ) LAYERDEF ( 2, \"Bolts and nuts\" ) "
        "LAYERDEF ( 4, Nuts and washers ) LAYER ( 2000000000 ) LAYERDEF ( x, y )");
    EXPECT_EQ(layer_count(), 4);
    EXPECT_EQ(layer_getnum(name_to_obj("o")), 3);
    EXPECT_STREQ(layer_getname(2), "Bolts and nuts");
    EXPECT_STREQ(layer_getname(4), "Nuts and washers");
    EXPECT_EQ(errors.error_formats(),
              std::vector<std::string>{"Layer %1 was not made: an assembly has at most %2 layers."});
}

TEST_F(Records, EnvironmentRecordsSetTheEnvironmentAndMotionBlurOnlyAtTheTopLevel)
{
    env("AMBIENT ( 0.25 ) TEXTCOLOR ( 1, 0.5, 0 ) CLIPPOS ( 5 ) MBACTIVE ( 1 ) MBBLEND ( 0.5 ) "
        "MBFADE ( 1 ) MBFADEFRAMES ( 7 ) GROUP ( MBFADEFRAMES ( 9 ) MBACTIVE ( 0 ) )");
    EXPECT_EQ(env_get_ambient(), 0.25f);
    EXPECT_EQ(env_get_textcolor().g, 0.5f);
    EXPECT_EQ(env_get_clip(0), 5);
    EXPECT_EQ(env_get_motionbluractive(), 1);
    EXPECT_EQ(env_get_motionblurblend(), 0.5f);
    EXPECT_EQ(env_get_motionblurfade(), 1);
    EXPECT_EQ(env_get_motionblurnumfadeframes(), 7);
    EXPECT_EQ(std::string(env_get_file()), dir.file("a.kvasf"));
    EXPECT_EQ(env_get_onlydrawenvelopes(), 0);
    env_set_motionbluractive(0);
    env_set_clip(0.01f, 0);
}

TEST_F(Records, MaterialLightAndDrawingRecordsReachTheSettersWithTheirLevels)
{
    env("OBJECT ( NAME ( p ) SPECULAR ( 0.5 ) SHININESS ( 30 ) TRANSPARENCY ( 0.25 ) "
        "REFLECTIVITY ( 0.7 ) IOR ( 1.5 ) ROUGHNESS ( 0.3 ) METALLIC ( 1 ) SHADOW ( 1 ) "
        "EMISSION ( 0.1, 0.2, 0.3 ) RENDERING ( wire ) NAME_VIS ( 1 ) VISIBLE ( 0 ) "
        "FACE ( NAME ( f ) TRANSPARENCY ( 0.5 ) RENDERING ( Flat ) ) ) "
        "OBJECT ( NAME ( q ) RENDERING ( shaded ) TRANSPARENCY ( 2 ) ) "
        "LIGHT ( NAME ( l ) TYPE ( 2 ) INTENSITY ( 0.4 ) EXPONENT ( 12 ) LIGHT_ANGLE ( 40 ) )");
    _object *p = name_to_obj("p");
    int level = 0;
    QEL_COLOR c;
    ASSERT_EQ(obj_get_specular(p, c, level), 0);
    EXPECT_EQ(c.g, 0.5f);
    EXPECT_EQ(level, 100);
    EXPECT_EQ(obj_get_shininess(p, level), 30.0f);
    EXPECT_EQ(obj_get_transparency(p, level), 0.25f);
    EXPECT_EQ(obj_get_reflectivity(p, level), 0.7f);
    EXPECT_EQ(obj_get_ior(p, level), 1.5f);
    EXPECT_EQ(obj_get_roughness(p, level), 0.3f);
    int i = 0;
    obj_get_metallic(p, i, level);
    EXPECT_EQ(i, 1);
    obj_get_shadow(p, i, level);
    EXPECT_EQ(i, 1);
    obj_get_emission(p, c, level);
    EXPECT_EQ(c.b, 0.3f);
    EXPECT_EQ(obj_get_rendering(p), RENDER_WIREFRAME);
    EXPECT_EQ(obj_get_name_vis(p), 1);
    EXPECT_EQ(obj_get_vis(p), 0);

    _object *f = name_to_obj("f");
    EXPECT_EQ(obj_get_transparency(f, level), 0.5f);
    EXPECT_EQ(level, 200) << "a face's material level";
    EXPECT_EQ(obj_get_rendering(f), RENDER_FLAT);
    _object *q = name_to_obj("q");
    EXPECT_EQ(obj_get_rendering(q), RENDER_SMOOTH);
    EXPECT_EQ(obj_get_transparency(q, level), 1.0f) << "an opacity above 1 is refused";

    _object *l = name_to_obj("l");
    EXPECT_EQ(obj_get_ltype(l), 2);
    EXPECT_FLOAT_EQ(obj_get_intensity(l), 0.4f);
    EXPECT_FLOAT_EQ(obj_get_exponent(l), 12.0f);
    EXPECT_FLOAT_EQ(obj_get_angle(l), 40.0f);
}

TEST_F(Records, TextureNoteAndBackdropRecords)
{
    _object *root = env("BACKDROP ( sky.png ) BDACTIVE ( 0 ) BDHJUSTIFY ( 1 ) BDVJUSTIFY ( 2 ) "
                        "BDTILE ( 1 ) OBJECT ( NAME ( p ) TEXTURE ( wood.png ) TXACTIVE ( 0 ) "
                        "TXQUALITY ( 1 ) TXMETHOD ( 2 ) TXTYPE ( 1 ) TXSCALE ( 2, 3 ) "
                        "TXPOS ( 0.5, 0.25 ) TXANGLE ( 30 ) TXGRIDANGLES ( 0, 0, 90 ) "
                        "TXGRIDPOS ( 1, 2, 3 ) NOTE_FILE ( tip.png ) NOTE_LINK ( docs/p.html ) "
                        "NOTE_VISIBLE ( 0 ) NOTE_FOREGROUND ( 1 ) NOTE_LEADER ( 0 ) "
                        "NOTE_OFFSET ( 2, -1 ) ) GROUP ( NAME ( g ) BACKDROP ( other.png ) "
                        "NOTE_FILE ( n.png ) NOTE_LINK ( \"\" ) )");
    EXPECT_EQ(std::string(obj_get_texturename(root)), dir.file("sky.png"));
    EXPECT_EQ(obj_get_textureactive(root), 0);
    EXPECT_EQ(obj_get_texturemethod(root), 1);
    EXPECT_EQ(obj_get_texturequality(root), 2);
    EXPECT_EQ(obj_get_texturetype(root), 1);

    _object *p = name_to_obj("p");
    EXPECT_EQ(std::string(obj_get_texturename(p)), dir.file("wood.png"));
    EXPECT_EQ(obj_get_textureactive(p), 0);
    EXPECT_EQ(obj_get_texturequality(p), 1);
    EXPECT_EQ(obj_get_texturemethod(p), 2);
    EXPECT_EQ(obj_get_texturetype(p), 1);
    EXPECT_EQ(obj_get_texturescale(p).y, 3.0f);
    EXPECT_EQ(obj_get_texturepos(p).x, 0.5f);
    EXPECT_FLOAT_EQ(obj_get_textureangle(p), 30.0f);
    EXPECT_NEAR(obj_get_texturegrideangles(p).z, 90.0f, 1e-3f);
    EXPECT_EQ(obj_get_texturegridpos(p).z, 3.0f);
    EXPECT_EQ(std::string(obj_get_notelink(p)), dir.file("docs/p.html"));
    EXPECT_EQ(obj_get_notevisible(p), 0);
    EXPECT_EQ(obj_get_noteforeground(p), 1);
    EXPECT_EQ(obj_get_noteleader(p), 0);
    EXPECT_EQ(obj_get_noteoffset(p).x, 2.0f);

    _object *g = name_to_obj("g");
    EXPECT_EQ(obj_get_texturename(g), nullptr) << "the backdrop belongs to the top level";
    EXPECT_EQ(obj_get_notelink(g), nullptr) << "an empty link is none";
}

} // namespace
