// Plug-in libraries: one process-wide record per open library with a use count.
// A plug-in exports
//     extern "C" void dll_init(void *library);   // registers its factories
//     extern "C" void dll_term();                // optional, called when it is unloaded
// Library names map to files by adding ".so" when the name has no extension.
#pragma once

// Opens the library `name` or, when a record of that exact name exists, counts one more use
// of it. On a first open the entry `init` (when given) is called with the library handle;
// a missing entry is reported ("Unable to load initfunc %1 in %2") and the library stays
// open. A library that cannot be loaded is reported ("Unable to load library %1") and gives
// null. *count (when given) receives the use count after the call, 0 on failure.
void *dl_open(const char *name, const char *init, int *count);

// 1 when a record of that name exists (*count = its use count); otherwise 1 when the library
// can be loaded, which is tried and undone at once (*count = 0), and 0 when it cannot.
int dl_exists(const char *name, int *count);

// Counts one use less of the library with this handle; at the last one the record goes, the
// entry `term` (when given) is called, or "Unable to load termfunc %1 in %2" reported, and the library is
// freed. Returns 0, or -1 for a handle that is not open.
int dl_close(void *handle, const char *term = "dll_term");

// Ends the manager's use: when this was its last user, every open library is closed for good
// (its "dll_term" called once) and the list emptied. Does nothing when the manager is unused.
void dl_term();
