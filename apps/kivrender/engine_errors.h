// Collects the error reports the engine sends while the tool works, so that a failure can
// be explained in one line.
#pragma once

#include <kivctrl/qel_msg.h>

#include <string>

namespace kivrender {

class EngineErrors : public MsgHandlerImp {
public:
    EngineErrors() { msg_handler_register(this); }
    ~EngineErrors() override { msg_handler_unregister(this); }
    const char *name() override { return "kivrender error collector"; }
    int handle(short code, void *data, std::intptr_t n) override;

    // The latest report with "%1" and "%2" filled in; empty when none came.
    const std::string &last() const { return last_; }
    void clear() { last_.clear(); }

private:
    std::string last_;
};

} // namespace kivrender
