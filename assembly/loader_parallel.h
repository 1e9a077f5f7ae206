// Reading part files on threads other than the one that asked for them.
//
// Only the engine's own geometry loaders run there: they keep no state between calls and
// touch neither the scene database nor the universe. Plug-in loaders stay on the thread that
// calls loader_invoke, so a read that would need one is not done here at all.
#pragma once

#include <string>
#include <vector>

class LoaderFactory;
class GSobject;

namespace kiv::assembly {

// True for a factory that belongs to the engine itself rather than to a plug-in or host.
bool builtin_factory(LoaderFactory *f);

// The factories loader_invoke would ask for a file, in order, as far as they are the engine's
// own: the one registered under type when type names one, else the registry from the start
// up to the first factory that is not; complete when no other factory would be asked. Call
// on a thread that may use the registry.
struct ParallelFactories {
    std::vector<LoaderFactory *> factories;
    bool complete = true;
};
ParallelFactories parallel_factories(const char *type);

// What one read produced: the geometry, its simplified copy (made along with the read, so
// that the activation under the geometry lock finds it ready; both owned by the caller) and
// the loader's basename.
struct ParallelRead {
    GSobject *geometry = nullptr;
    GSobject *simplified = nullptr;
    std::string basename;
};

// Reads file with the first of factories that takes it, as loader_invoke would; nothing when
// none of them does or a factory that takes it produces no geometry. Safe on any thread.
ParallelRead parallel_read(const std::vector<LoaderFactory *> &factories, const char *file,
                           const char *options);

// Hands a read done elsewhere to the instance cache, so that the next loader_invoke for
// (file, options) is answered from it. Deletes what the cache does not keep.
void adopt_parallel_read(const char *file, const char *options, ParallelRead r);

}  // namespace kiv::assembly
