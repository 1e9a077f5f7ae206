// Refreshing component groups from their files: survivors keep their identity and take the
// file's state, new components come, vanished ones go, and nothing else is touched.
#include "tests/environment/bind_fixture.h"

#include "environment/component_name.h"

#include <kivctrl/loader.h>
#include <kivctrl/obj_attr.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_pathname.h>

#include <filesystem>
#include <future>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Component files ("comp"): one line per object,
//   part|group NAME PARENT X Y Z R G B PROP
// PARENT "-" is the object read into; each object's level parameters name its component.
// A part's level is a one-triangle geometry file ("cpart") read by the same factory.
struct ComponentFactory : LoaderFactoryImp {
    ComponentFactory() : LoaderFactoryImp("comp") { suffix_add("cpart"); }
    const char *name() override { return "Test Component"; }
    int priority() override { return 5002; }
    Loader *create() override;
    int reads = 0;
    // Whether another thread could take the geometry lock while the last file was read.
    bool lock_free_while_reading = true;
};

struct ComponentLoader : Loader {
    explicit ComponentLoader(ComponentFactory &f) : f(f) {}
    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        if (!fs::is_regular_file(file))
            return 0;
        return pathname_check_ext(file, "comp") ? 1 : pathname_check_ext(file, "cpart") ? 2 : 0;
    }
    int load(KivAssembly *a, _object *parent, const char *file, const char *o,
             GSobject **g) override
    {
        if (legal(a, parent, file, o) == 2) {
            *g = make_mesh(1, 1.0f);
            return 2;
        }
        ++f.reads;
        f.lock_free_while_reading = std::async(std::launch::async, [a] {
                                        const bool got = a->AccessGeometry();
                                        if (got)
                                            a->ReleaseGeometry();
                                        return got;
                                    }).get();
        std::ifstream in(file);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream s(line);
            std::string kind, name, up, prop;
            QEL_VECT3 p;
            QEL_COLOR c{};
            if (!(s >> kind >> name >> up >> p.x >> p.y >> p.z >> c.r >> c.g >> c.b >> prop))
                continue;
            _object *under = up == "-" ? parent : find_below(parent, up);
            _object *x = db_create_obj(under, kind == "part" ? OBJ_OBJECT : OBJ_GROUP);
            obj_set_name(x, name.c_str());
            _geometry *level = nullptr;
            const std::string part_file = kind == "part" ? name + ".cpart" : "";
            obj_set_file(x, part_file.empty() ? nullptr : part_file.c_str(), level, 0.0f);
            level->part.set_params(("ComponentName=" + name).c_str());
            obj_set_pos(x, p, FRAME_PARENT);
            obj_set_color(x, c, ATTR_DEFAULT_LEVEL);
            if (!x->props)
                x->props = new Props;
            x->props->add("stamp", prop.c_str(), "Stamp");
        }
        return 1;
    }
    // The object named name below top; top itself when there is none.
    static _object *find_below(_object *top, const std::string &name)
    {
        _object *found = find(top, name);
        return found ? found : top;
    }
    static _object *find(_object *top, const std::string &name)
    {
        OBJLIST_ITER it(top->children);
        while (it.next()) {
            _object *c = it.getdata();
            if (c->name && name == c->name)
                return c;
            if (_object *below = find(c, name))
                return below;
        }
        return nullptr;
    }
    ComponentFactory &f;
};

Loader *ComponentFactory::create()
{
    return new ComponentLoader(*this);
}

class RefreshTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        loader_register(&factory);
        dir = fs::temp_directory_path() / ("kiv_refresh_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        set_assy_path(root, dir.c_str());
        for (const char *part : {"a", "c", "d", "e"})
            write(std::string(part) + ".cpart", "triangle");
    }
    void TearDown() override
    {
        DbTest::TearDown();
        loader_unregister(&factory);
        fs::remove_all(dir);
    }

    void write(const std::string &name, const std::string &text)
    {
        std::ofstream(dir / name) << text;
    }

    // A component group reading file, placed at p.
    _object *component(const char *name, const char *file, const QEL_VECT3 &p,
                       const char *params = "ComponentName=/")
    {
        _object *g = make(root, OBJ_GROUP, name);
        _geometry *level = nullptr;
        obj_set_file(g, file, level, 0.0f);
        level->part.set_params(params);
        obj_set_pos(g, p, FRAME_PARENT);
        obj_set_color(g, 0.5f, 0.5f, 0.5f, 42);
        obj_set_active(g, 1);
        return g;
    }

    static _object *child(_object *o, const char *name)
    {
        OBJLIST_ITER it(o->children);
        while (it.next()) {
            if (it.getdata()->name && std::string(name) == it.getdata()->name)
                return it.getdata();
        }
        return nullptr;
    }

    static QEL_VECT3 world(_object *o)
    {
        QEL_VECT3 p;
        obj_get_pos(o, p, FRAME_WORLD);
        return p;
    }

    static std::string stamp(_object *o)
    {
        Property *p = o->props ? o->props->get("stamp") : nullptr;
        return p && p->getValue() ? p->getValue() : "";
    }

    void revalidate(_object *g)
    {
        obj_set_geometryvalid(g, 0);
        ASSERT_EQ(obj_set_geometryvalid(g, 1), 0);
    }

    ComponentFactory factory;
    fs::path dir;
};

TEST_F(RefreshTest, SurvivorsTakeTheFileNewOnesComeAndVanishedOnesGo)
{
    write("gear.comp", "part a - 1 0 0 1 0 0 old\n"
                       "group b - 0 2 0 0 1 0 old\n"
                       "part c b 0 0 1 0 0 1 old\n");
    _object *g = component("gear", "gear.comp", QEL_VECT3(10, 0, 0));
    _object *a = child(g, "a");
    _object *b = child(g, "b");
    ASSERT_TRUE(a && b);
    _object *c = child(b, "c");
    ASSERT_NE(c, nullptr);
    const int a_id = 77;
    obj_set_id(a, a_id);
    const std::string a_guid = a->guid;
    _object *keep_below_b = make(b, OBJ_GROUP, "user's own");
    ASSERT_TRUE(at(world(a), 11, 0, 0));

    write("gear.comp", "part a - 3 0 0 0 0 1 new\n"
                       "part c - 0 5 0 0 1 1 new\n"
                       "part d - 0 0 4 1 1 0 new\n");
    MessageLog log({MSG_OBJ_CREATED, MSG_OBJ_FREEING});
    EXPECT_TRUE(factory.lock_free_while_reading);
    revalidate(g);
    // The twin was read under the geometry lock: drawing never meets the tree half changed.
    EXPECT_FALSE(factory.lock_free_while_reading);

    // The group itself stays where it was, in its own colour.
    EXPECT_TRUE(at(world(g), 10, 0, 0));
    QEL_COLOR col{};
    int level = 0;
    obj_get_color(g, col, level);
    EXPECT_EQ(col.r, 0.5f);
    EXPECT_EQ(level, 42);
    // a is the same object with the file's placement, colour and property.
    EXPECT_EQ(child(g, "a"), a);
    EXPECT_EQ(a->id, a_id);
    EXPECT_EQ(a_guid, a->guid);
    EXPECT_TRUE(at(world(a), 13, 0, 0));
    obj_get_color(a, col, level);
    EXPECT_EQ(col.b, 1.0f);
    EXPECT_EQ(stamp(a), "new");
    EXPECT_EQ(a->vars.find("NO_PIVOT"), 0);  // consumed by the reload
    EXPECT_EQ(a->active, 1);
    // b went; its children moved up to the group, c to the file's placement.
    EXPECT_EQ(child(g, "b"), nullptr);
    EXPECT_EQ(child(g, "c"), c);
    EXPECT_EQ(child(g, "user's own"), keep_below_b);
    EXPECT_TRUE(at(world(c), 10, 5, 0));
    EXPECT_EQ(c->vars.find("NODEMARK"), 0);
    // d is new, under the group, and was loaded in the same call.
    _object *d = child(g, "d");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->sourceid, g->sourceid);
    EXPECT_EQ(d->geometryvalid, 1);
    EXPECT_EQ(d->active, 1);
    EXPECT_NE(d->gsobject, nullptr);
    EXPECT_TRUE(at(world(d), 10, 0, 4));
    EXPECT_EQ(factory.reads, 2);
}

TEST_F(RefreshTest, TwoGroupsOfOneLoadRefreshIndependently)
{
    write("gear.comp", "part a - 1 0 0 1 0 0 old\n");
    _object *g1 = component("one", "gear.comp", QEL_VECT3(0, 0, 0));
    _object *g2 = component("two", "gear.comp", QEL_VECT3(0, 5, 0));
    ASSERT_EQ(g1->sourceid, g2->sourceid);
    _object *a2 = child(g2, "a");
    ASSERT_NE(a2, nullptr);

    write("gear.comp", "part e - 2 0 0 0 1 0 new\n");
    revalidate(g1);
    EXPECT_EQ(child(root, "two"), g2);
    EXPECT_EQ(child(g2, "a"), a2);
    EXPECT_TRUE(at(world(a2), 1, 5, 0));
    EXPECT_EQ(stamp(a2), "old");
    EXPECT_EQ(child(g1, "a"), nullptr);
    EXPECT_NE(child(g1, "e"), nullptr);
}

TEST_F(RefreshTest, OtherParametersOnlyReloadTheGroup)
{
    write("gear.comp", "part a - 1 0 0 1 0 0 old\n");
    _object *g = component("gear", "gear.comp", QEL_VECT3(0, 0, 0), "ComponentName=/,x=y");
    _object *a = child(g, "a");
    ASSERT_NE(a, nullptr);
    write("gear.comp", "part a - 4 0 0 1 0 0 new\n");
    MessageLog log({MSG_OBJ_CREATED, MSG_OBJ_FREEING});
    revalidate(g);
    EXPECT_TRUE(log.entries().empty());  // no twin is made for a file that is no component
    EXPECT_EQ(child(g, "a"), a);
    EXPECT_TRUE(at(world(a), 1, 0, 0));
    EXPECT_EQ(stamp(a), "old");
}

TEST_F(RefreshTest, PlacementsWithinTheToleranceAreLeftAlone)
{
    write("gear.comp", "part a - 1 0 0 1 0 0 old\n");
    _object *g = component("gear", "gear.comp", QEL_VECT3(0, 0, 0));
    _object *a = child(g, "a");
    ASSERT_NE(a, nullptr);
    const QEL_VECT3 before = world(a);
    write("gear.comp", "part a - 1.00005 0 0 1 0 0 old\n");
    revalidate(g);
    EXPECT_EQ(world(a).x, before.x);
    write("gear.comp", "part a - 1.0002 0 0 1 0 0 old\n");
    revalidate(g);
    EXPECT_NEAR(world(a).x, 1.0002f, 1e-6f);
}

TEST(ComponentName, IsTheFirstComponentNameValueOfTheParameters)
{
    const std::pair<const char *, const char *> cases[] = {
        {"ComponentName=a, x=y", "a"},
        {"x=y,componentname = a", "a"},
        {"COMPONENTNAME=\"two words\"", "two words"},
        {"x=y", ""},
        {"ComponentName=", ""},
        {"x y, ComponentName=a", ""},  // a delimiter out of place ends the reading
        {"ComponentName=a,ComponentName=b", "a"},
        {"", ""},
    };
    for (const auto &[text, name] : cases)
        EXPECT_EQ(kiv::env::component_name_in(text), name) << text;
    EXPECT_EQ(kiv::env::component_name_in(nullptr), "");
}

}  // namespace
