// The record behind an assembly's geometry lock.
#pragma once

#include "platform/manual_event.h"
#include "platform/named_mutex.h"

#include <memory>

namespace kiv::db {

struct GeometryLock {
    // Shared by every assembly of the process: one lock serialises all geometry access.
    std::shared_ptr<platform::NamedMutex> mutex = platform::NamedMutex::open("protectGeometry");
    // Set while no geometry load runs.
    platform::ManualEvent load_complete{true};
};

}  // namespace kiv::db
