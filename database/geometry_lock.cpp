// The geometry lock of an assembly: the process-wide "protectGeometry" mutex and the
// assembly's load-complete event.
#include <kivctrl/kiv_db.h>

#include "database/geometry_lock.h"

#include <chrono>

void KivAssembly::ProtectGeometry()
{
    if (!lock_)
        lock_ = std::make_unique<kiv::db::GeometryLock>();
}

void KivAssembly::UnprotectGeometry()
{
    lock_.reset();
}

// Without a lock record (after UnprotectGeometry) nothing can be taken and nothing waits.
bool KivAssembly::AccessGeometry()
{
    return lock_ && lock_->mutex->try_lock();
}

bool KivAssembly::AccessGeometryWait()
{
    if (!lock_)
        return false;
    lock_->mutex->lock();
    return true;
}

bool KivAssembly::AccessGeometryWait(int ms)
{
    if (!lock_)
        return false;
    return lock_->mutex->try_lock_for(std::chrono::milliseconds(ms < 0 ? 0 : ms));
}

bool KivAssembly::ReleaseGeometry()
{
    return lock_ && lock_->mutex->unlock();
}

void KivAssembly::GeometryLoadStarted()
{
    if (lock_)
        lock_->load_complete.reset();
}

void KivAssembly::GeometryLoadComplete()
{
    if (lock_)
        lock_->load_complete.set();
}

void KivAssembly::WaitForGeometryLoad()
{
    if (lock_)
        lock_->load_complete.wait();
}
