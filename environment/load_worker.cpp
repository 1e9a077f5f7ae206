// The background geometry loader: one thread per built tree works through the tree's
// objects, biggest-looking from the viewpoint first, loads each deferred part and every other
// instance of its file straight after it, and orders the rest again whenever the viewpoint
// has moved. Files are read and parsed without the geometry lock (the next ones on a few
// threads of their own); the lock is held while the worker collects or orders objects and
// while it applies an activation, so the window thread skips a frame rather than see a part
// half replaced.
#include "environment/load_worker.h"

#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/loader.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/ve_bind.h>

#include "assembly/instance_cache.h"
#include "assembly/loader_parallel.h"
#include "environment/binding_internal.h"
#include "environment/load_order.h"
#include "environment/read_ahead.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using kiv::env::FileRequest;
using kiv::env::LoadEntry;

// A part whose deferred activation loads its file: the first request that load makes.
std::optional<FileRequest> load_request(_object *o)
{
    if (o->type != OBJ_OBJECT || !o->vars.getvalue("_ACTIVE") ||
        o->vars.find("_GEOM_PARAMS") != 0)
        return std::nullopt;
    _geometry *first = o->geolist.get(1);
    if (!first || first->handle)
        return std::nullopt;
    return kiv::env::first_file_request(o, first);
}

bool cached(const FileRequest &r)
{
    GSobject *g = instance_cache().instance(r.file.c_str(), r.params_text());
    GSobject_delete(g);
    return g != nullptr;
}

std::atomic<unsigned> read_ahead_threads{std::max(1u, std::thread::hardware_concurrency())};

class LoadWorker final : public MsgHandlerImp {
public:
    LoadWorker(_object *start, std::shared_ptr<std::atomic<int>> stop)
        : start_(start), assembly_(GetAssembly(start)), stop_(std::move(stop)),
          threads_(read_ahead_threads.load()), read_ahead_(threads_)
    {
    }

    KivAssembly *assembly() const { return assembly_; }

    const char *name() override { return "shut down handler"; }

    int handle(short code, void *data, std::intptr_t) override
    {
        switch (code) {
        case MSG_ASSEMBLY_DELETING:
            // Only the deletion of this tree's own assembly ends its load.
            if (!data || data == assembly_)
                stop_->fetch_add(1);
            break;
        case MSG_SHUTDOWN:
            stop_->fetch_add(1);
            break;
        case MSG_OBJ_FREEING: {
            std::lock_guard lock(list_mutex_);
            std::erase_if(list_, [&](const LoadEntry &e) { return e.o == data; });
            break;
        }
        default:
            break;
        }
        return 0;
    }

    void run()
    {
        msg_send(MSG_LOAD_STARTED, nullptr, 0);
        if (!stopped() && lock()) {
            collect();
            unlock();
        }
        while (!stopped() && lock()) {
            std::vector<_object *> group;
            std::optional<FileRequest> request;
            next_group(group, request);
            unlock();
            if (group.empty())
                break;
            if (request)
                read(*request, group.front());
            for (_object *o : group) {
                if (stopped() || !lock())
                    break;
                if (take(o))
                    prepare(o);
                unlock();
            }
            if (stopped() || !lock())
                break;
            reorder_if_moved();
            read_ahead();
            unlock();
        }
    }

private:
    bool stopped() const { return stop_->load() != 0; }

    // Takes the geometry lock, giving up when a stop is asked for meanwhile: the one who
    // asks may hold the lock while it waits for this load to end.
    bool lock()
    {
        if (!assembly_)
            return true;
        while (!stopped()) {
            if (assembly_->AccessGeometryWait(10))
                return true;
        }
        return false;
    }

    void unlock()
    {
        if (assembly_)
            assembly_->ReleaseGeometry();
    }

    QEL_VECT3 eye() const
    {
        QEL_VECT3 p;
        _object *root = assembly_ ? assembly_->GetRoot() : nullptr;
        if (root && root->viewpoint)
            obj_get_pos(root->viewpoint, p, FRAME_WORLD);
        return p;
    }

    void collect()
    {
        eye_ = eye();
        std::vector<LoadEntry> list;
        for (_object *o : kiv::env::subtree(start_))
            list.push_back({o, 0.0f, kiv::env::first_part_name(o)});
        kiv::env::order_by_apparent_size(list, eye_);
        {
            std::lock_guard guard(list_mutex_);
            list_ = std::move(list);
        }
        read_ahead();
    }

    // The first object and every later one of the same part file, in list order.
    void next_group(std::vector<_object *> &group, std::optional<FileRequest> &request)
    {
        std::lock_guard guard(list_mutex_);
        if (list_.empty())
            return;
        const std::string &part = list_.front().part;
        for (const LoadEntry &e : list_) {
            if (e.part == part)
                group.push_back(e.o);
        }
        request = load_request(group.front());
    }

    bool take(_object *o)
    {
        std::lock_guard guard(list_mutex_);
        auto it = std::find_if(list_.begin(), list_.end(),
                               [&](const LoadEntry &e) { return e.o == o; });
        if (it == list_.end())
            return false;  // deleted meanwhile
        list_.erase(it);
        return true;
    }

    // Root preparation stays with the window thread that built the tree; a part gets the
    // activation deferred for it, whatever the background loading switch says by now.
    static void prepare(_object *o)
    {
        if (o->type == OBJ_OBJECT)
            kiv::env::apply_deferred_activation(o);
    }

    // Reads the file into the instance cache, so that the activation under the lock finds it
    // there. Plug-in loaders read on this thread; whatever fails here is tried again, with
    // the locate procedure, by the activation.
    void read(const FileRequest &r, _object *o)
    {
        const kiv::assembly::ParallelFactories f =
            kiv::assembly::parallel_factories(r.type.c_str());
        std::optional<kiv::assembly::ParallelRead> done = read_ahead_.take(r.file, r.params);
        if (!done && cached(r))
            return;
        kiv::assembly::ParallelRead own =
            done ? *done
                 : kiv::assembly::parallel_read(f.factories, r.file.c_str(), r.params_text());
        if (own.geometry) {
            kiv::assembly::adopt_parallel_read(r.file.c_str(), r.params_text(), own);
            return;
        }
        if (f.complete)
            return;
        void *g = nullptr;
        int taken = 0;
        if (!r.type.empty())
            taken = loader_invoke(r.type.c_str(), assembly_, o, r.file.c_str(),
                                  r.params_text(), &g);
        if (taken != LOADER_GEOMETRY) {
            GSobject_delete(static_cast<GSobject *>(g));
            g = nullptr;
            loader_invoke(assembly_, o, r.file.c_str(), r.params_text(), &g, nullptr);
        }
        GSobject_delete(static_cast<GSobject *>(g));
    }

    // Asks the read-ahead threads for the next distinct files in list order that the
    // engine's own loaders read, keeping a few reads in hand. Under the geometry lock.
    void read_ahead()
    {
        if (threads_ == 0)
            return;
        const std::size_t in_hand = 2 * threads_;
        std::lock_guard guard(list_mutex_);
        for (const LoadEntry &e : list_) {
            if (read_ahead_.outstanding() >= in_hand)
                return;
            if (e.part.empty() || !looked_at_.insert(e.part).second)
                continue;
            std::optional<FileRequest> r = load_request(e.o);
            if (!r || read_ahead_.asked(r->file, r->params) || cached(*r))
                continue;
            kiv::assembly::ParallelFactories f = kiv::assembly::parallel_factories(r->type.c_str());
            if (!f.factories.empty())
                read_ahead_.ask(r->file, r->params, std::move(f.factories));
        }
    }

    void reorder_if_moved()
    {
        const QEL_VECT3 now = eye();
        if (now.x == eye_.x && now.y == eye_.y && now.z == eye_.z)
            return;
        eye_ = now;
        std::lock_guard guard(list_mutex_);
        kiv::env::order_by_apparent_size(list_, eye_);
    }

    _object *start_;
    KivAssembly *assembly_;
    std::shared_ptr<std::atomic<int>> stop_;
    unsigned threads_;
    QEL_VECT3 eye_;
    // The list, against deletions reported from other threads.
    std::mutex list_mutex_;
    std::vector<LoadEntry> list_;
    kiv::env::ReadAhead read_ahead_;
    std::set<std::string> looked_at_;  // part names the read-ahead has considered
};

// The running loaders of the process: per assembly how many run, and their threads, which
// are joined once they have ended (or at exit, after being asked to stop).
class Loaders {
public:
    ~Loaders()
    {
        std::vector<Thread> all;
        {
            std::lock_guard guard(mutex_);
            all = std::move(threads_);
        }
        for (Thread &t : all) {
            t.stop->fetch_add(1);
            t.thread.join();
        }
    }

    void begin(KivAssembly *a)
    {
        std::lock_guard guard(mutex_);
        if (a && loads_[a]++ == 0)
            a->GeometryLoadStarted();
    }

    void end(KivAssembly *a)
    {
        std::lock_guard guard(mutex_);
        if (a && --loads_[a] == 0) {
            loads_.erase(a);
            a->GeometryLoadComplete();
        }
    }

    void keep(std::thread t, std::shared_ptr<std::atomic<int>> stop,
              std::shared_ptr<std::atomic<bool>> ended)
    {
        std::vector<Thread> finished;
        {
            std::lock_guard guard(mutex_);
            auto done = std::stable_partition(threads_.begin(), threads_.end(),
                                              [](const Thread &x) { return !x.ended->load(); });
            std::move(done, threads_.end(), std::back_inserter(finished));
            threads_.erase(done, threads_.end());
            threads_.push_back({std::move(t), std::move(stop), std::move(ended)});
        }
        for (Thread &x : finished)
            x.thread.join();
    }

private:
    struct Thread {
        std::thread thread;
        std::shared_ptr<std::atomic<int>> stop;
        std::shared_ptr<std::atomic<bool>> ended;
    };
    std::mutex mutex_;
    std::map<KivAssembly *, int> loads_;
    std::vector<Thread> threads_;
};

Loaders &loaders()
{
    static Loaders l;
    return l;
}

}  // namespace

void kiv::env::set_read_ahead_threads(unsigned n)
{
    read_ahead_threads = n;
}

bool kiv::env::start_geometry_worker(_object *o)
{
    if (!o)
        return false;
    auto stop = std::make_shared<std::atomic<int>>(0);
    auto ended = std::make_shared<std::atomic<bool>>(false);
    auto worker = std::make_unique<LoadWorker>(o, stop);
    KivAssembly *a = worker->assembly();
    Loaders &all = loaders();
    // Before the thread exists, so that a wait or a stop that comes first is not lost.
    all.begin(a);
    msg_handler_register(worker.get());
    LoadWorker *w = worker.get();
    try {
        std::thread t([w, a, ended, &all] {
            w->run();
            msg_handler_unregister(w);
            msg_send(MSG_LOAD_FINISHED, nullptr, 0);
            delete w;
            ended->store(true);
            all.end(a);
        });
        worker.release();
        all.keep(std::move(t), std::move(stop), std::move(ended));
        return true;
    } catch (const std::system_error &) {
        msg_handler_unregister(w);
        all.end(a);
        return false;
    }
}
