// A task kind that a plug-in library registers runs in the passes like a built-in one.
#include "tasks/task_fixture.h"

#include <kivctrl/qel_dll.h>

#include <string>

TEST_F(TaskTest, APlugInTaskKindRunsInThePassesInPriorityOrder)
{
    const std::string library = std::string(KIV_TEST_PLUGIN_DIR) + "/qel_test_tasks";
    EXPECT_EQ(task_add(root, "plugged", nullptr), nullptr);  // not there yet
    void *handle = dl_open(library.c_str(), "dll_init", nullptr);
    ASSERT_NE(handle, nullptr);
    TaskFactory *f = task_get_factory("PLUGGED");
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(f->label(), "plugged");

    _object *part = make(root, OBJ_OBJECT, "part");
    add(part, "other", "before");  // 1000
    add(part, "probe", "after");   // 100
    _task *plugged = task_add(part, "plugged", nullptr);
    ASSERT_NE(plugged, nullptr);
    EXPECT_EQ(plugged->priority(), 500);
    std::vector<std::string> order;
    MessageLog log({MSG_TASK_BEGIN});
    tick();
    tick();
    for (const Msg &m : log.entries())
        order.emplace_back(static_cast<_task *>(m.second)->name());
    EXPECT_EQ(order, (std::vector<std::string>{"other", "plugged", "probe", "other", "plugged", "probe"}));
    EXPECT_STREQ(obj_get_name(part), "plugged 2");

    // Unloading the library takes its tasks along: their code leaves with it.
    task_add(nullptr, "plugged", nullptr);
    EXPECT_EQ(dl_close(handle), 0);
    EXPECT_EQ(task_get_factory("plugged"), nullptr);
    EXPECT_EQ(task_find(part, "plugged"), nullptr);
    EXPECT_EQ(task_find(nullptr, "plugged"), nullptr);
    EXPECT_EQ(part->tasklist.count(), 2);
    log.clear();
    tick();
    EXPECT_EQ(log.entries().size(), 2u);
}
