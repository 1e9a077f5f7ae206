// Trees of parts whose activation waits for the background loader: placeholder triangles of a
// given size where the parts will be, files read by a loader that belongs to the test (so it
// runs on the loader's own thread) and can be held at a file, and a log of what the loader
// thread announces.
#pragma once

#include "tests/environment/bind_fixture.h"

#include <kivctrl/loader.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_pathname.h>

#include "environment/binding_internal.h"
#include "environment/geo_data.h"

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kivtest {

namespace fs = std::filesystem;

// Files "size S" become a one-triangle mesh of side S. Reading the file named `hold` waits
// until release() is called, after telling held().
struct HoldingPartFactory : LoaderFactoryImp {
    HoldingPartFactory() : LoaderFactoryImp("hpart") {}
    const char *name() override { return "Holding Part"; }
    int priority() override { return 5000; }
    Loader *create() override;

    void hold_at(const std::string &file)
    {
        std::lock_guard lock(mutex);
        hold = file;
    }
    void wait_until_held()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return holding; });
    }
    void release()
    {
        std::lock_guard lock(mutex);
        hold.clear();
        changed.notify_all();
    }
    int reads()
    {
        std::lock_guard lock(mutex);
        return read_count;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::string hold;
    bool holding = false;
    int read_count = 0;
};

struct HoldingPartLoader : Loader {
    explicit HoldingPartLoader(HoldingPartFactory &f) : f(f) {}
    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        return pathname_check_ext(file, "hpart") && fs::is_regular_file(file) ? 2 : 0;
    }
    int load(KivAssembly *, _object *, const char *file, const char *, GSobject **g) override
    {
        {
            std::unique_lock lock(f.mutex);
            ++f.read_count;
            if (!f.hold.empty() && fs::path(file).filename() == f.hold) {
                f.holding = true;
                f.changed.notify_all();
                f.changed.wait(lock, [this] { return f.hold.empty(); });
            }
        }
        float size = 0.0f;
        std::ifstream in(file);
        std::string word;
        if (!(in >> word >> size))
            return 0;
        *g = make_mesh(1, size);
        return 2;
    }
    HoldingPartFactory &f;
};

inline Loader *HoldingPartFactory::create()
{
    return new HoldingPartLoader(*this);
}

// From whatever thread: the loader's start and end messages with the thread each came from,
// and the names of parts as they are activated (taken on arrival: a part may be gone later).
struct LoadLog {
    std::vector<std::string> events() const
    {
        std::vector<std::string> out;
        for (const BusMessage &m : bus.messages())
            if (m.code == MSG_LOAD_STARTED || m.code == MSG_LOAD_FINISHED)
                out.emplace_back(m.code == MSG_LOAD_STARTED ? "started" : "finished");
        return out;
    }
    std::vector<std::thread::id> threads() const
    {
        std::vector<std::thread::id> out;
        for (const BusMessage &m : bus.messages())
            if (m.code == MSG_LOAD_STARTED || m.code == MSG_LOAD_FINISHED)
                out.push_back(m.thread);
        return out;
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const BusMessage &m : bus.messages())
            if (m.code == MSG_OBJ_ACTIVATED && !m.note.empty())
                out.push_back(m.note);
        return out;
    }
    int replaced() const { return bus.count(MSG_OBJ_GSNODE_REPLACED); }

    BusRecorder bus{std::set<short>{MSG_LOAD_STARTED, MSG_LOAD_FINISHED, MSG_OBJ_ACTIVATED,
                                    MSG_OBJ_GSNODE_REPLACED},
                    [](short code, void *data, std::intptr_t) -> std::string {
                        auto *o = static_cast<_object *>(data);
                        return code == MSG_OBJ_ACTIVATED && o->type == OBJ_OBJECT && o->name
                                   ? o->name
                                   : "";
                    }};
};

class LoadingTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        loader_register(&parts);
        set_assy_path(root, dir.c_str());
        // The eye stands away from the origin, so the tree build leaves it where it is.
        eye = make(root, OBJ_VIEWPOINT, "eye");
        obj_set_active(eye, 1);
        obj_set_pos(eye, QEL_VECT3(0, 0, -50), FRAME_WORLD);
    }
    void TearDown() override
    {
        env_set_threading(false);
        DbTest::TearDown();
        loader_unregister(&parts);
        fs::remove_all(dir);
    }

    // A part that will load file (written as a "size S" part file unless it exists), shown
    // meanwhile as a triangle of side `placeholder` (none for 0) with its midpoint at `at`,
    // whose activation value `active` waits for the loader.
    _object *deferred(const char *name, const std::string &file, float placeholder,
                      QEL_VECT3 at, int active = 1, _object *parent = nullptr)
    {
        if (!fs::exists(dir / file))
            std::ofstream(dir / file) << "size 1\n";
        _object *p = make(parent ? parent : root, OBJ_OBJECT, name);
        obj_set_file(p, file.c_str(), 0.0f);
        if (placeholder > 0.0f) {
            GSobject *empty = p->gsobject;
            kiv::env::replace_node(p, make_mesh(1, placeholder), false);
            kiv::env::delete_node(empty);
        }
        obj_set_pos(p, at, FRAME_WORLD);
        p->vars.add("_ACTIVE", reinterpret_cast<void *>(std::intptr_t{active}));
        return p;
    }

    void build_in_background()
    {
        env_set_threading(true);
        VE_build_tree(root);
    }

    static bool waiting(_object *o) { return o->vars.find("_ACTIVE") != 0; }

    HoldingPartFactory parts;
    fs::path dir = fs::temp_directory_path() / ("kiv_loading_" + std::to_string(::getpid()));
    _object *eye = nullptr;

private:
    bool made_ = fs::create_directories(dir);
};

}  // namespace kivtest
