// Drawing only envelopes while a bulk change runs: the universe counts nested requests, so
// every on must be matched by an off, whichever way the scope is left.
#pragma once

#include <kivctrl/gs_universe.h>

namespace kiv::env {

class EnvelopesOnly {
public:
    explicit EnvelopesOnly(bool on = true) : on_(on)
    {
        if (on_)
            GSuniverse_setonlydrawenvelopes(true);
    }
    ~EnvelopesOnly()
    {
        if (on_)
            GSuniverse_setonlydrawenvelopes(false);
    }
    EnvelopesOnly(const EnvelopesOnly &) = delete;
    EnvelopesOnly &operator=(const EnvelopesOnly &) = delete;

private:
    bool on_;
};

}  // namespace kiv::env
