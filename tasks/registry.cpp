// The registry of task factories: an ordered list that exists while factories are registered.
#include <kivctrl/qel_msg.h>
#include <kivctrl/task.h>

#include "tasks/schedule.h"

#include <strings.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using Registry = std::vector<TaskFactory *>;

std::unique_ptr<Registry> &registry()
{
    static std::unique_ptr<Registry> list;
    return list;
}

bool same_name(const char *a, const char *b)
{
    return a && b && strcasecmp(a, b) == 0;
}

// Takes the factory at index i out, announcing its 1-based position.
void remove_at(Registry &list, std::size_t i)
{
    TaskFactory *f = list[i];
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    msg_send(MSG_TASK_UNREGISTERED, f, static_cast<std::intptr_t>(i + 1));
}

} // namespace

int task_register(TaskFactory *f)
{
    if (!f)
        return 0;
    auto &list = registry();
    if (!list)
        list = std::make_unique<Registry>();
    const char *name = f->name();
    auto same = std::find_if(list->begin(), list->end(),
                             [&](TaskFactory *g) { return g == f || same_name(g->name(), name); });
    if (same != list->end())
        remove_at(*list, static_cast<std::size_t>(same - list->begin()));
    if (!list)  // a listener of the removal emptied the registry
        list = std::make_unique<Registry>();
    list->push_back(f);
    msg_send(MSG_TASK_REGISTERED, f, static_cast<std::intptr_t>(list->size()));
    return 0;
}

int task_unregister(TaskFactory *f)
{
    if (auto &list = registry()) {
        auto it = std::find(list->begin(), list->end(), f);
        if (it != list->end())
            remove_at(*list, static_cast<std::size_t>(it - list->begin()));
        if (list && list->empty())
            list.reset();
    }
    schedule_drop_tasks_of(f);
    return 0;
}

int task_count()
{
    const auto &list = registry();
    return list ? static_cast<int>(list->size()) : 0;
}

TaskFactory *task_get_factory(int i)
{
    const auto &list = registry();
    if (!list || i < 1 || i > static_cast<int>(list->size()))
        return nullptr;
    return (*list)[static_cast<std::size_t>(i - 1)];
}

TaskFactory *task_get_factory(const char *name)
{
    const auto &list = registry();
    if (!list || !name)
        return nullptr;
    auto it = std::find_if(list->rbegin(), list->rend(),
                           [&](TaskFactory *f) { return same_name(f->name(), name); });
    return it == list->rend() ? nullptr : *it;
}

int task_get_index(TaskFactory *f)
{
    const auto &list = registry();
    if (!list || !f)
        return 0;
    auto it = std::find(list->begin(), list->end(), f);
    return it == list->end() ? 0 : static_cast<int>(it - list->begin()) + 1;
}
