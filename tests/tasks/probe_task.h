// A task kind for the tests: each run appends its tag to a shared log and calls an optional
// hook; stored probes carry a number and a text as their BEHAVIOR parameters.
#pragma once

#include <kivctrl/qel_stream.h>
#include <kivctrl/qel_token_stream.h>
#include <kivctrl/task.h>

#include <functional>
#include <string>
#include <vector>

inline std::vector<std::string> &probe_log()
{
    static std::vector<std::string> log;
    return log;
}

inline int &probes_destroyed()
{
    static int count = 0;
    return count;
}

class ProbeTask : public _task {
public:
    ProbeTask(_object *owner, const char *kind, int priority, bool stored)
        : _task(owner, priority), kind_(kind), stored_(stored)
    {
    }
    ~ProbeTask() override { ++probes_destroyed(); }

    const char *name() override { return kind_.c_str(); }
    int flags() override { return stored_ ? FLAG_STORED : 4; }
    void set_params(const char *text) override { tag = text ? text : ""; }
    void run() override
    {
        probe_log().push_back(tag);
        if (hook)
            hook(this);
    }
    int read_params(QelFileReader *r) override
    {
        char token[64];
        if (qel_readstring(r, "(,)", token, sizeof token) <= 1 ||
            qel_readdelim(r, ",", nullptr) != 1 || r->readint(number) != 0 ||
            qel_readdelim(r, ",", nullptr) != 1)
            return 1;
        tag = token;
        qel_readstring(r, "(,)", token, sizeof token);
        text = token;
        return 0;
    }
    void write_params(QelFileWriter *w) override
    {
        w->writestring(tag.c_str());
        w->writef(", %d, ", number);
        w->writestring(text.c_str());
    }
    const char *version() override { return "test"; }

    std::string tag;
    int number = 0;
    std::string text;
    std::function<void(ProbeTask *)> hook;

private:
    std::string kind_;
    bool stored_;
};

class ProbeFactory : public TaskFactory {
public:
    ProbeFactory(const char *kind, int priority, bool stored = true)
        : kind_(kind), priority_(priority), stored_(stored)
    {
    }
    const char *name() override { return kind_.c_str(); }
    int default_priority() override { return priority_; }
    const char *version() override { return "test"; }
    _task *create(_object *owner) override
    {
        return new ProbeTask(owner, kind_.c_str(), priority_, stored_);
    }

private:
    std::string kind_;
    int priority_;
    bool stored_;
};
