// The geometry lock: one process-wide mutex shared by all assemblies, and the load event.
#include <kivctrl/kiv_db.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Runs f on another thread and returns its result.
template <class F> auto on_other_thread(F f)
{
    return std::async(std::launch::async, f).get();
}

TEST(GeometryLock, OneHolderAtATimeAcrossThreadsAndAssemblies)
{
    KivAssembly first;
    KivAssembly second;
    ASSERT_TRUE(first.AccessGeometry());
    // Every assembly opens the same named mutex, so the other thread is shut out of both.
    EXPECT_FALSE(on_other_thread([&] { return second.AccessGeometry(); }));
    EXPECT_FALSE(on_other_thread([&] { return first.AccessGeometryWait(30); }));
    // The holder may take it again; each take needs its own release.
    EXPECT_TRUE(second.AccessGeometry());
    EXPECT_TRUE(second.ReleaseGeometry());
    EXPECT_FALSE(on_other_thread([&] { return first.AccessGeometry(); }));
    // A thread that does not hold the lock cannot release it.
    EXPECT_FALSE(on_other_thread([&] { return first.ReleaseGeometry(); }));
    EXPECT_TRUE(first.ReleaseGeometry());
    EXPECT_FALSE(first.ReleaseGeometry());

    EXPECT_TRUE(on_other_thread([&] {
        const bool taken = second.AccessGeometry();
        second.ReleaseGeometry();
        return taken;
    }));
}

TEST(GeometryLock, WaitingTakerGetsTheLockWhenItIsReleased)
{
    KivAssembly a;
    ASSERT_TRUE(a.AccessGeometry());
    std::atomic<bool> taken{false};
    std::thread waiter([&] {
        taken = a.AccessGeometryWait();
        a.ReleaseGeometry();
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(taken);
    a.ReleaseGeometry();
    waiter.join();
    EXPECT_TRUE(taken);
}

TEST(GeometryLock, ConcurrentTriesNeverOverlap)
{
    KivAssembly a;
    KivAssembly b;
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> entries{0};
    auto worker = [&](KivAssembly &mine) {
        for (int i = 0; i < 20000; ++i) {
            if (!mine.AccessGeometry())
                continue;
            if (inside.fetch_add(1) != 0)
                ++overlaps;
            ++entries;
            inside.fetch_sub(1);
            mine.ReleaseGeometry();
        }
    };
    std::thread t1(worker, std::ref(a));
    std::thread t2(worker, std::ref(b));
    t1.join();
    t2.join();
    EXPECT_EQ(overlaps, 0);
    EXPECT_GT(entries, 0);
}

TEST(GeometryLock, DeletionWaitsForTheLoadToComplete)
{
    KivAssembly *a = db_new_assembly("loading");
    a->GeometryLoadStarted();
    std::atomic<bool> deleted{false};
    std::thread closer([&] {
        db_delete_assembly(a);
        deleted = true;
    });
    std::this_thread::sleep_for(30ms);
    EXPECT_FALSE(deleted);
    a->GeometryLoadComplete();
    closer.join();
    EXPECT_TRUE(deleted);
}

TEST(GeometryLock, LoadEventStartsSet)
{
    KivAssembly a;
    a.WaitForGeometryLoad();  // returns at once: no load has started
    a.GeometryLoadStarted();
    a.GeometryLoadComplete();
    a.WaitForGeometryLoad();
    a.UnprotectGeometry();
    EXPECT_FALSE(a.AccessGeometry());
    a.ProtectGeometry();
    EXPECT_TRUE(a.AccessGeometry());
    EXPECT_TRUE(a.ReleaseGeometry());
}

}  // namespace
