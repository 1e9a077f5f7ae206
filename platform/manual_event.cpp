#include "platform/manual_event.h"

namespace kiv::platform {

// Notifies under the lock: a released waiter may destroy the event as soon as it runs.
void ManualEvent::set()
{
    std::lock_guard lock(guard_);
    set_ = true;
    changed_.notify_all();
}

void ManualEvent::reset()
{
    std::lock_guard lock(guard_);
    set_ = false;
}

bool ManualEvent::is_set()
{
    std::lock_guard lock(guard_);
    return set_;
}

void ManualEvent::wait()
{
    std::unique_lock lock(guard_);
    changed_.wait(lock, [this] { return set_; });
}

bool ManualEvent::wait_for(std::chrono::milliseconds ms)
{
    std::unique_lock lock(guard_);
    return changed_.wait_for(lock, ms, [this] { return set_; });
}

}  // namespace kiv::platform
