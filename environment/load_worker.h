// The background geometry loader started by the tree build.
#pragma once

class _object;

namespace kiv::env {

// Starts a thread that loads the deferred parts of o's subtree, biggest-looking first. The
// assembly's load-complete event is reset before the thread starts and set again when the
// last of its loaders ends. False when no thread could be started.
bool start_geometry_worker(_object *o);

// How many threads read the next part files ahead of each loader: one per core unless set;
// 0 leaves all reading to the loader thread.
void set_read_ahead_threads(unsigned n);

// Applies a part's deferred activation ("_ACTIVE") and its faces', removing the variables.
void apply_deferred_activation(_object *part);

}  // namespace kiv::env
