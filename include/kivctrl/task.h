// Behaviour tasks: task kinds published by factories, task instances bound to an owner object
// (or to none), the two task passes of every tick and the BEHAVIOR records of assembly files.
//
// Every task of the process sits in one priority-ordered schedule (highest priority first,
// equal priorities in the order they were added). A pass takes the tasks one by one; the
// task being run may delete itself or any other task, and may add tasks, which run in the
// same pass. All task functions belong to the control's thread.
#pragma once

class _object;
class QelFileReader;
class QelFileWriter;

class _task;

// Publishes one task kind under a name. Factories have static lifetime; the registry keeps
// pointers only. The virtual operations keep this slot order.
class TaskFactory {
public:
    virtual ~TaskFactory() = default;
    // Registry key, compared without regard to case.
    virtual const char *name() = 0;
    virtual const char *label() { return name(); }
    // Priority given to new tasks.
    virtual int default_priority() = 0;
    // Reported to hosts; the engine does not interpret it.
    virtual int kind_flags() { return 0; }
    // Build identification; the built-in factories answer "Jun 12 2002".
    virtual const char *version() = 0;
    // A new task for owner (null: a task without owner) with the default priority.
    virtual _task *create(_object *owner) = 0;
};

// One task. Concrete kinds derive from it; the virtual operations keep this slot order.
class _task {
public:
    // Stored flag: the task is written to assembly files and reads/writes its parameters.
    static constexpr int FLAG_STORED = 1;

    virtual ~_task() = default;
    _task(const _task &) = delete;
    _task &operator=(const _task &) = delete;

    // The kind's registry name.
    virtual const char *name() = 0;
    virtual const char *label() { return name(); }
    // Stores p; a task waiting in the schedule is moved to its new place.
    virtual void priority(int p);
    virtual int priority() { return prio; }
    virtual void suspend(int on) { suspended = on != 0; }
    virtual int is_suspended() { return suspended; }
    virtual int is_global() { return owner == nullptr; }
    // FLAG_STORED and the kind's own bits; 0 by default.
    virtual int flags() { return 0; }
    // Configures the task from a text (may be null).
    virtual void set_params(const char *) {}
    // Called by task_delete before the task leaves the lists.
    virtual void finish() {}
    // One tick of work.
    virtual void run() = 0;
    // Reads the parameters of a BEHAVIOR record, stopping before its closing ")". Returns 0,
    // or non-zero when they are malformed (the record is then rejected).
    virtual int read_params(QelFileReader *) { return 0; }
    // Writes the parameters of a BEHAVIOR record.
    virtual void write_params(QelFileWriter *) {}
    virtual const char *version() = 0;

    // The priority (named apart from its accessor).
    int prio;
    _object *owner;  // null for a task without owner
    int suspended = 0;

protected:
    _task(_object *owner_object, int priority_value) : prio(priority_value), owner(owner_object) {}
};

// The factory registry. Registering a name already present (without regard to case) first
// removes the older factory (message 1812 with its position); the new one is appended
// (message 1811 with its position). Positions count from 1. Unregistering also deletes the
// tasks the factory made, whose code may leave with it. Both return 0.
int task_register(TaskFactory *f);
int task_unregister(TaskFactory *f);
int task_count();
// By position (null when out of range) or by name (the latest registration wins).
TaskFactory *task_get_factory(int i);
TaskFactory *task_get_factory(const char *name);
// 0 when f is not registered.
int task_get_index(TaskFactory *f);

// Creates a task of kind `name` for owner (null: without owner), schedules it and calls
// set_params(params). Returns the task, or null for an unknown kind or when set_params
// deleted it again.
_task *task_add(_object *owner, const char *name, const char *params);
// The same, then the task's priority is set.
_task *task_add(_object *owner, int priority, const char *name, const char *params);

// Deletes the task named (the owner's first of that kind, or the first task without owner of
// that kind) or the task given, when it belongs to owner (null: when it is a task without
// owner known to the schedule): finish(), out of every list, destroyed. A task that deletes
// itself inside run() is destroyed when run() has returned. Return 0.
int task_delete(_object *owner, const char *name);
int task_delete(_object *owner, _task *t);

// With an owner: the first task of its list of that kind / the task itself when listed.
// Without: the first task without owner of that kind / the task itself, wherever it is in the
// schedule (waiting, done for this pass, or running).
_task *task_find(_object *owner, const char *name);
_task *task_find(_object *owner, _task *t);

// suspend(1) / suspend(0) on the task found as by task_find. Return 0.
int task_suspend(_object *owner, const char *name);
int task_suspend(_object *owner, _task *t);
int task_resume(_object *owner, const char *name);
int task_resume(_object *owner, _task *t);
// suspend(on) on every scheduled task whose priority p satisfies above < p < below.
void task_global_suspend(int on, int below, int above);

// The two passes of a tick: the tasks without owner (messages 2502/2503 around the pass),
// then the tasks with an owner (2500/2501). Each task runs between messages 2504 and 2505
// unless it is suspended. A pass requested from inside a running task does nothing.
void task_run_global_pass();
void task_run_object_pass();

// Reads BEHAVIOR records up to the end of the enclosing section, whose ")" or "<" is left
// for the caller. Returns 0, or 1 at the first malformed record, unknown kind or unknown
// owner; the records before it stay in effect, the rejected one has no effect.
int task_read_tasks(QelFileReader *r);
// Writes a BEHAVIOR record for every stored task (FLAG_STORED) with an owner, in priority
// order. Returns 0.
int task_write_tasks(QelFileWriter *w);
