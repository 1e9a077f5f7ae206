// Holding an assembly's geometry lock for a scope: work that changes what the drawing and the
// loading thread read takes it (the lock is recursive, so nested work may take it again).
#pragma once

#include <kivctrl/kiv_db.h>

namespace kiv::env {

class GeometryGuard {
public:
    // Nothing is held without an assembly.
    explicit GeometryGuard(KivAssembly *a) : a_(a && a->AccessGeometryWait() ? a : nullptr) {}
    ~GeometryGuard()
    {
        if (a_)
            a_->ReleaseGeometry();
    }
    GeometryGuard(const GeometryGuard &) = delete;
    GeometryGuard &operator=(const GeometryGuard &) = delete;

private:
    KivAssembly *a_;
};

}  // namespace kiv::env
