// A manual-reset event: once set it stays set, releasing every waiter, until reset.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace kiv::platform {

class ManualEvent {
public:
    explicit ManualEvent(bool initially_set) : set_(initially_set) {}
    ManualEvent(const ManualEvent &) = delete;
    ManualEvent &operator=(const ManualEvent &) = delete;

    void set();
    void reset();
    bool is_set();
    void wait();
    bool wait_for(std::chrono::milliseconds ms);  // true when the event was set in time

private:
    std::mutex guard_;
    std::condition_variable changed_;
    bool set_;
};

}  // namespace kiv::platform
