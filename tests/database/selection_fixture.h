// Shared helpers of the selection tests: a bus recorder that keeps the integer argument, and
// a binding that records what selection asks of the layers above.
#pragma once

#include <kivctrl/selection.h>

#include "db_fixture.h"

#include <string>
#include <tuple>

// (code, object name or "-", n) of the selection messages, in arrival order.
using SelMsg = std::tuple<short, std::string, long>;

class SelectionLog : public MsgHandlerImp {
public:
    SelectionLog() { msg_handler_register(this); }
    ~SelectionLog() override { msg_handler_unregister(this); }
    const char *name() override { return "test selection log"; }
    int handle(short code, void *data, std::intptr_t n) override
    {
        if (code < MSG_SEL_ADDED || code > MSG_SEL_REMOVE_DISPLAY)
            return 0;
        auto *o = static_cast<_object *>(data);
        entries.emplace_back(code, o && o->name ? o->name : "-", static_cast<long>(n));
        return 0;
    }
    std::vector<SelMsg> entries;
};

// Records the calls of the selection binding as "bind a", "unbind a", "first a", "begins",
// "ended".
class RecordingBinding : public SelectionBinding {
public:
    RecordingBinding() { sel_add_binding(this); }
    ~RecordingBinding() override { sel_remove_binding(this); }
    void bind(_object *o) override { calls.push_back("bind " + label(o)); }
    void unbind(_object *o) override { calls.push_back("unbind " + label(o)); }
    void first_changed(_object *o) override { calls.push_back("first " + label(o)); }
    void selection_begins() override { calls.push_back("begins"); }
    void selection_ended() override { calls.push_back("ended"); }
    std::vector<std::string> calls;

private:
    static std::string label(_object *o) { return o && o->name ? o->name : "?"; }
};
