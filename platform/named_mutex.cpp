#include "platform/named_mutex.h"

#include <map>
#include <string>

namespace kiv::platform {

std::shared_ptr<NamedMutex> NamedMutex::open(std::string_view name)
{
    static std::mutex registry_guard;
    static std::map<std::string, std::weak_ptr<NamedMutex>, std::less<>> registry;

    std::lock_guard lock(registry_guard);
    auto it = registry.find(name);
    if (it != registry.end()) {
        if (auto existing = it->second.lock())
            return existing;
    }
    auto created = std::make_shared<NamedMutex>();
    registry.insert_or_assign(std::string(name), created);
    return created;
}

bool NamedMutex::take_if_free()
{
    const auto me = std::this_thread::get_id();
    if (depth_ == 0) {
        owner_ = me;
        depth_ = 1;
        return true;
    }
    if (owner_ == me) {
        ++depth_;
        return true;
    }
    return false;
}

bool NamedMutex::try_lock()
{
    std::lock_guard lock(guard_);
    return take_if_free();
}

void NamedMutex::lock()
{
    std::unique_lock lock(guard_);
    freed_.wait(lock, [this] { return take_if_free(); });
}

bool NamedMutex::try_lock_for(std::chrono::milliseconds ms)
{
    std::unique_lock lock(guard_);
    return freed_.wait_for(lock, ms, [this] { return take_if_free(); });
}

bool NamedMutex::unlock()
{
    {
        std::lock_guard lock(guard_);
        if (depth_ == 0 || owner_ != std::this_thread::get_id())
            return false;
        if (--depth_ > 0)
            return true;
        owner_ = std::thread::id();
    }
    freed_.notify_one();
    return true;
}

}  // namespace kiv::platform
