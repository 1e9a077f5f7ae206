// Drawing only envelopes while a bulk change runs: the universe counts nested requests, so
// every on must be matched by an off, whichever way the scope is left.
#pragma once

#include <kivctrl/ve_env.h>

namespace kiv::env {

class EnvelopesOnly {
public:
    explicit EnvelopesOnly(bool on = true) : on_(on)
    {
        if (on_)
            env_set_onlydrawenvelopes(1);
    }
    ~EnvelopesOnly()
    {
        if (on_)
            env_set_onlydrawenvelopes(0);
    }
    EnvelopesOnly(const EnvelopesOnly &) = delete;
    EnvelopesOnly &operator=(const EnvelopesOnly &) = delete;

private:
    bool on_;
};

}  // namespace kiv::env
