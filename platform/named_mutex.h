// A process-wide recursive mutex with timed waits, looked up by name.
//
// Stands in for a named system mutex: every caller that opens the same name gets the same
// lock, so one lock serialises work across otherwise independent owners inside the process.
// Like the system object it replaces, the owning thread may take it again (each take needs
// one release) and a release by a thread that does not own it is refused.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

namespace kiv::platform {

class NamedMutex {
public:
    // The mutex registered under name, created on first open; it lives while anyone holds it.
    static std::shared_ptr<NamedMutex> open(std::string_view name);

    NamedMutex() = default;
    NamedMutex(const NamedMutex &) = delete;
    NamedMutex &operator=(const NamedMutex &) = delete;

    bool try_lock();                                  // never waits
    void lock();                                      // waits as long as needed
    bool try_lock_for(std::chrono::milliseconds ms);  // waits at most ms
    bool unlock();                                    // false when the caller does not own it

private:
    bool take_if_free();  // with guard_ held

    std::mutex guard_;
    std::condition_variable freed_;
    std::thread::id owner_;
    int depth_ = 0;
};

}  // namespace kiv::platform
