// Shared helpers of the selection tests: the selection messages as (code, name, n), and a
// binding that records what selection asks of the layers above.
#pragma once

#include <kivctrl/selection.h>

#include "db_fixture.h"

#include <string>
#include <tuple>

// (code, object name or "-", n) of the selection messages, in arrival order.
using SelMsg = std::tuple<short, std::string, long>;

struct SelectionLog {
    std::vector<SelMsg> entries() const
    {
        std::vector<SelMsg> out;
        for (const kivtest::BusMessage &m : bus.messages())
            out.emplace_back(m.code, m.note, static_cast<long>(m.n));
        return out;
    }
    // Objects may be gone by the time the test looks, so their names are taken on arrival.
    kivtest::BusRecorder bus{kivtest::codes_between(MSG_SEL_ADDED, MSG_SEL_REMOVE_DISPLAY),
                             [](short, void *data, std::intptr_t) -> std::string {
                                 auto *o = static_cast<_object *>(data);
                                 return o && o->name ? o->name : "-";
                             }};
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
