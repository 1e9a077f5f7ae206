#include <kivctrl/qel_msg.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Seen {
    std::string who;
    short code;
    void *data;
    std::intptr_t n;
    bool operator==(const Seen &) const = default;
};

// A handler that records what it sees into a shared log and may act while handling.
class Recorder : public MsgHandlerImp {
public:
    Recorder(std::string name, std::vector<Seen> &log, int priority = 0)
        : name_(std::move(name)), log_(log), priority_(priority)
    {
    }
    ~Recorder() override { leave(); }

    void join() { registered_ = true, position = msg_handler_register(this); }
    void leave()
    {
        if (registered_)
            msg_handler_unregister(this);
        registered_ = false;
    }

    const char *name() override { return name_.c_str(); }
    int priority() override { return priority_; }
    int handle(short code, void *data, std::intptr_t n) override
    {
        log_.push_back({name_, code, data, n});
        if (on_message)
            on_message(code);
        return 1;
    }

    std::function<void(short)> on_message;
    int position = 0;

private:
    std::string name_;
    std::vector<Seen> &log_;
    int priority_;
    bool registered_ = false;
};

std::vector<std::string> who_got(const std::vector<Seen> &log, short code)
{
    std::vector<std::string> out;
    for (const auto &s : log)
        if (s.code == code)
            out.push_back(s.who);
    return out;
}

}  // namespace

TEST(MsgBus, SendWithoutHandlersDoesNothing)
{
    EXPECT_EQ(msg_send(1001, nullptr, 5), 0);
}

TEST(MsgBus, DefaultsOfHandlerBase)
{
    std::vector<Seen> log;
    Recorder r("rec", log);
    EXPECT_STREQ(r.extname(), "rec");
    EXPECT_EQ(r.priority(), 0);
    EXPECT_STREQ(r.version(), __DATE__);
}

TEST(MsgBus, DeliversInOrderWithPayloadAndPointerSizedArgument)
{
    std::vector<Seen> log;
    Recorder h1("H1", log), h2("H2", log), h3("H3", log);
    h1.join();
    h2.join();
    h3.join();
    // The engine's own handlers are registered at start-up and stand before ours.
    EXPECT_GE(h1.position, 1);
    EXPECT_EQ(h3.position, h1.position + 2);
    log.clear();
    int payload = 0;
    const std::intptr_t address = reinterpret_cast<std::intptr_t>(&payload);
    EXPECT_EQ(msg_send(MSG_ANIM_PATH_REMOVED, &payload, address), 0);
    EXPECT_EQ(log, (std::vector<Seen>{{"H1", 1215, &payload, address},
                                      {"H2", 1215, &payload, address},
                                      {"H3", 1215, &payload, address}}));
}

TEST(MsgBus, PriorityOrdersHandlersAndEqualOnesKeepRegistrationOrder)
{
    std::vector<Seen> log;
    Recorder late("late", log, 5), a("a", log), early("early", log, -3), b("b", log);
    late.join();
    a.join();
    early.join();
    b.join();
    // "early" went in front of "a", and "b" lands right behind "a".
    EXPECT_EQ(b.position, a.position + 2);
    log.clear();
    msg_send(MSG_FRAME_CHANGED, nullptr, 1);
    EXPECT_EQ(who_got(log, 1001), (std::vector<std::string>{"early", "a", "b", "late"}));
}

TEST(MsgBus, HandlerUnregisteringItselfMakesTheNextOneMissThatMessage)
{
    std::vector<Seen> log;
    Recorder h1("H1", log), h2("H2", log), h3("H3", log);
    h1.join();
    h2.join();
    h3.join();
    h2.on_message = [&](short code) {
        if (code == MSG_SHUTDOWN)
            h2.leave();
    };
    log.clear();
    msg_send(MSG_SHUTDOWN, nullptr, 0);
    EXPECT_EQ(who_got(log, 2300), (std::vector<std::string>{"H1", "H2"}));
    msg_send(MSG_SHUTDOWN, nullptr, 0);
    EXPECT_EQ(who_got(log, 2300), (std::vector<std::string>{"H1", "H2", "H1", "H3"}));
}

TEST(MsgBus, NestedSendIsDispatchedBeforeTheOuterOneContinues)
{
    std::vector<Seen> log;
    Recorder h1("H1", log), h2("H2", log), h3("H3", log);
    h1.join();
    h2.join();
    h3.join();
    h2.on_message = [](short code) {
        if (code == MSG_PLAY_STOPPED)
            msg_send(MSG_FRAME_CHANGED, nullptr, 42);
    };
    log.clear();
    msg_send(MSG_PLAY_STOPPED, nullptr, 0);
    std::vector<std::string> order;
    for (const auto &s : log)
        order.push_back(s.who + ":" + std::to_string(s.code));
    EXPECT_EQ(order, (std::vector<std::string>{"H1:502", "H2:502", "H1:1001", "H2:1001", "H3:1001",
                                               "H3:502"}));
}

TEST(MsgBus, HandlerRegisteredDuringDispatchIsReachedByIt)
{
    std::vector<Seen> log;
    Recorder h1("H1", log), late("late", log);
    h1.on_message = [&](short code) {
        if (code == MSG_LOAD_STARTED)
            late.join();
    };
    h1.join();
    log.clear();
    msg_send(MSG_LOAD_STARTED, nullptr, 0);
    EXPECT_EQ(who_got(log, 2301), (std::vector<std::string>{"H1", "late"}));
    EXPECT_EQ(who_got(log, MSG_HANDLER_REGISTERING), (std::vector<std::string>{"H1"}));
}

TEST(MsgBus, RegistrationMessagesGoOnlyToTheOthers)
{
    std::vector<Seen> log;
    Recorder old("old", log), d("D", log);
    old.join();
    log.clear();
    d.join();
    EXPECT_EQ(log, (std::vector<Seen>{{"old", 10, &d, 0}}));
    log.clear();
    d.leave();
    EXPECT_EQ(log, (std::vector<Seen>{{"old", 11, &d, 0}}));
    EXPECT_EQ(msg_handler_register(nullptr), 0);
}

TEST(MsgBus, ErrorReportsCarryTheRecord)
{
    struct Catch : MsgHandlerImp {
        const char *name() override { return "catch"; }
        int handle(short code, void *data, std::intptr_t n) override
        {
            if (code == MSG_ERROR) {
                auto *m = static_cast<ESD_MESSAGE *>(data);
                std::string text = m->format;
                for (int i = 0; i < n; ++i) {
                    const std::string mark = '%' + std::to_string(i + 1);
                    text.replace(text.find(mark), 2, m->args[i]);
                }
                reports.push_back(text + "|" + std::to_string(n) + "|" + std::to_string(m->reserved));
                EXPECT_EQ(m->args[n < 2 ? n : 2], nullptr);
                EXPECT_EQ(m->args[4], nullptr);
            }
            if (code == MSG_DEBUG) {
                EXPECT_EQ(data, nullptr);
                ++debug;
            }
            return 0;
        }
        std::vector<std::string> reports;
        int debug = 0;
    } c;
    static_assert(sizeof(ESD_MESSAGE) == 7 * sizeof(void *));
    msg_handler_register(&c);
    esd_send("Out of memory - unable to create object.");
    esd_send("Unable to load %1", "bolt.kvg");
    char lib[] = "qel_x.so";
    esd_send("Unable to load termfunc %1 in %2", "dll_term", lib);
    esd_debug_send("Unable to find library to close");
    msg_handler_unregister(&c);
    EXPECT_EQ(c.reports, (std::vector<std::string>{"Out of memory - unable to create object.|0|0",
                                                   "Unable to load bolt.kvg|1|0",
                                                   "Unable to load termfunc dll_term in qel_x.so|2|0"}));
    EXPECT_EQ(c.debug, 1);
}

TEST(MsgBus, SendersOnTwoThreadsWhileHandlersComeAndGo)
{
    struct Counter : MsgHandlerImp {
        const char *name() override { return "counter"; }
        int handle(short code, void *, std::intptr_t) override
        {
            if (code == MSG_LOAD_FINISHED)
                ++count;
            return 0;
        }
        std::atomic<int> count{0};
    } steady;
    msg_handler_register(&steady);
    std::atomic<bool> stop{false};
    std::thread churn([&] {
        std::vector<Seen> log;
        while (!stop) {
            struct Quiet : MsgHandlerImp {
                const char *name() override { return "quiet"; }
                int handle(short, void *, std::intptr_t) override { return 0; }
            } q;
            msg_handler_register(&q);
            msg_handler_unregister(&q);
        }
    });
    auto sender = [] {
        for (int i = 0; i < 2000; ++i)
            msg_send(MSG_LOAD_FINISHED, nullptr, 0);
    };
    std::thread t1(sender), t2(sender);
    t1.join();
    t2.join();
    stop = true;
    churn.join();
    msg_handler_unregister(&steady);
    // The steady handler is registered first, so churn behind it never shifts it.
    EXPECT_EQ(steady.count.load(), 4000);
}
