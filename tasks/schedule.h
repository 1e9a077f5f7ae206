// The process-wide schedule of tasks shared by the task functions and the passes.
#pragma once

#include <kivctrl/qel_list.h>

#include <unordered_map>

class _task;
class TaskFactory;

struct TaskSchedule {
    TaskSchedule();

    // Waiting to run in the current pass: highest priority first, equal ones in arrival order.
    SRTDLIST active;
    // Already run in the current pass.
    ILIST done;
    // The task inside run(), or null. Deleting it clears the slot and leaves its destruction
    // to the pass, once run() has returned.
    _task *running = nullptr;
    // A pass is under way (passes do not nest).
    bool in_pass = false;
    // The factory that made each live task: a factory that leaves takes its tasks along, as
    // their code may leave with it (a plug-in being unloaded).
    std::unordered_map<_task *, TaskFactory *> makers;
};

TaskSchedule &task_schedule();

// Adds t to the waiting tasks in priority order.
void schedule_insert(_task *t);
// Destroys a task that has left every list.
void schedule_destroy(_task *t);
// Deletes every task that f made.
void schedule_drop_tasks_of(TaskFactory *f);
// True when t is waiting, done or running.
bool schedule_contains(_task *t);
