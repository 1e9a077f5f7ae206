// A plug-in publishing the task kind "plugged" from its "dll_init". Each run renames the
// owner after the number of runs so far, which the test can see without knowing the class.
#include <kivctrl/kiv_db.h>
#include <kivctrl/task.h>

#include <string>

namespace {

class PluggedTask : public _task {
public:
    PluggedTask(_object *owner, int priority) : _task(owner, priority) {}
    const char *name() override { return "plugged"; }
    void run() override
    {
        ++runs_;
        if (owner)
            obj_set_name(owner, ("plugged " + std::to_string(runs_)).c_str());
    }
    const char *version() override { return "plug-in"; }

private:
    int runs_ = 0;
};

class PluggedFactory : public TaskFactory {
public:
    const char *name() override { return "plugged"; }
    int default_priority() override { return 500; }
    const char *version() override { return "plug-in"; }
    _task *create(_object *owner) override { return new PluggedTask(owner, default_priority()); }
};

PluggedFactory factory;

} // namespace

extern "C" void dll_init(void *)
{
    task_register(&factory);
}

extern "C" void dll_term()
{
    task_unregister(&factory);
}
