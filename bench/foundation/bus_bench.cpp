// Cost of one message through the bus: handler i is fetched by position under the registry
// lock before each call. Calling the same handlers directly through a vector is the floor.
#include <kivctrl/qel_msg.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

class Sink : public MsgHandlerImp {
public:
    const char *name() override { return "sink"; }
    int handle(short code, void *, std::intptr_t n) override
    {
        seen += code + n;
        return 0;
    }
    std::intptr_t seen = 0;
};

std::vector<std::unique_ptr<Sink>> make_sinks(int n)
{
    std::vector<std::unique_ptr<Sink>> sinks;
    for (int i = 0; i < n; ++i)
        sinks.push_back(std::make_unique<Sink>());
    return sinks;
}

void BM_MsgSend(benchmark::State &state)
{
    auto sinks = make_sinks(static_cast<int>(state.range(0)));
    for (auto &s : sinks)
        msg_handler_register(s.get());
    for (auto _ : state)
        msg_send(MSG_OBJ_POSITION, nullptr, 1);
    for (auto &s : sinks)
        msg_handler_unregister(s.get());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MsgSend)->Arg(1)->Arg(10)->Arg(100);

void BM_DirectCalls(benchmark::State &state)
{
    auto sinks = make_sinks(static_cast<int>(state.range(0)));
    std::vector<MsgHandler *> handlers;
    for (auto &s : sinks)
        handlers.push_back(s.get());
    for (auto _ : state) {
        for (MsgHandler *h : handlers)
            h->handle(MSG_OBJ_POSITION, nullptr, 1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DirectCalls)->Arg(1)->Arg(10)->Arg(100);

}  // namespace
