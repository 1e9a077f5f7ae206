#include <kivctrl/qel_list.h>
#include <kivctrl/qel_msg.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

int by_priority(void *a, void *b)
{
    const int pa = static_cast<MsgHandler *>(a)->priority();
    const int pb = static_cast<MsgHandler *>(b)->priority();
    return pa < pb ? -1 : pa > pb ? 1 : 0;
}

// The handler list, and which thread is inside which handler. The lock is never held while a
// handler runs, so handlers may send, register and unregister freely; it only keeps the list
// (and its cached position) whole when the loader thread and the window thread both send,
// and lets an unregistering thread wait until other threads have left the handler.
struct Registry {
    SRTDLIST handlers{by_priority};
    std::mutex lock;
    std::condition_variable left;
    std::vector<std::pair<std::thread::id, MsgHandler *>> inside;

    bool busy_elsewhere(MsgHandler *h) const
    {
        const auto self = std::this_thread::get_id();
        return std::any_of(inside.begin(), inside.end(),
                           [&](const auto &e) { return e.second == h && e.first != self; });
    }
};

Registry &registry()
{
    // Never destroyed: handlers with static lifetime unregister from their destructors,
    // which may run after any other static object is gone.
    static Registry *r = new Registry;
    return *r;
}

// Marks the calling thread as inside h for the duration of one handle() call.
class Inside {
public:
    Inside(Registry &r, MsgHandler *h) : r_(r), entry_(std::this_thread::get_id(), h)
    {
        r_.inside.push_back(entry_);  // the caller holds the lock
    }
    ~Inside()
    {
        std::lock_guard guard(r_.lock);
        r_.inside.erase(std::find(r_.inside.begin(), r_.inside.end(), entry_));
        r_.left.notify_all();
    }
    Inside(const Inside &) = delete;
    Inside &operator=(const Inside &) = delete;

private:
    Registry &r_;
    std::pair<std::thread::id, MsgHandler *> entry_;
};

}  // namespace

const char *MsgHandlerImp::version()
{
    return __DATE__;
}

int msg_handler_register(MsgHandler *h)
{
    if (!h)
        return 0;
    msg_send(MSG_HANDLER_REGISTERING, h, 0);
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    return r.handlers.add(h);
}

int msg_handler_unregister(MsgHandler *h)
{
    Registry &r = registry();
    {
        std::unique_lock guard(r.lock);
        r.handlers.remove(static_cast<void *>(h));
        // The caller may destroy h next: let other threads finish their call into it.
        r.left.wait(guard, [&] { return !r.busy_elsewhere(h); });
    }
    msg_send(MSG_HANDLER_UNREGISTERED, h, 0);
    return 0;
}

int msg_send(short code, void *data, std::intptr_t n)
{
    Registry &r = registry();
    for (int i = 1;; ++i) {
        std::unique_lock guard(r.lock);
        auto *h = static_cast<MsgHandler *>(r.handlers.get(i));
        if (!h)
            return 0;
        Inside inside(r, h);
        guard.unlock();
        h->handle(code, data, n);
    }
}
