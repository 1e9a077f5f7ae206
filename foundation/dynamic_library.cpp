#include <kivctrl/qel_dll.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_pathname.h>

#include "platform/dynlib.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

struct OpenLibrary {
    std::string name; // exactly as given to dl_open
    void *handle;
    int uses;
};

using InitEntry = void (*)(void *library);
using TermEntry = void (*)();

// The records and the manager's own use count. Opened and closed from the control's thread only.
struct Manager {
    std::vector<std::unique_ptr<OpenLibrary>> libraries;
    int users = 0;

    void use()
    {
        if (users == 0)
            users = 1;
    }

    OpenLibrary *find(const char *name)
    {
        for (const auto &lib : libraries)
            if (lib->name == name)
                return lib.get();
        return nullptr;
    }
};

Manager &manager()
{
    static Manager m;
    return m;
}

std::string file_name(const char *name)
{
    char out[QEL_PATH_MAX];
    pathname_join(out, name, nullptr, "so");
    return out;
}

void *load(const char *name)
{
    std::string why;
    void *handle = kiv::platform::dynlib_open(file_name(name), why);
    if (!handle)
        esd_debug_send(why.c_str());
    return handle;
}

void release(void *handle)
{
    std::string why;
    if (!kiv::platform::dynlib_close(handle, why))
        esd_debug_send(why.c_str());
}

} // namespace

void *dl_open(const char *name, const char *init, int *count)
{
    if (count)
        *count = 0;
    if (!name)
        return nullptr;
    Manager &m = manager();
    m.use();
    if (OpenLibrary *lib = m.find(name)) {
        ++lib->uses;
        if (count)
            *count = lib->uses;
        return lib->handle;
    }
    void *handle = load(name);
    if (!handle) {
        esd_send("Unable to load library %1", name);
        return nullptr;
    }
    m.libraries.push_back(std::make_unique<OpenLibrary>(OpenLibrary{name, handle, 1}));
    if (count)
        *count = 1;
    if (init) {
        std::string why;
        if (void *entry = kiv::platform::dynlib_symbol(handle, init, why))
            reinterpret_cast<InitEntry>(entry)(handle);
        else
            esd_send("Unable to load initfunc %1 in %2", init, name);
    }
    return handle;
}

int dl_exists(const char *name, int *count)
{
    if (count)
        *count = 0;
    if (!name)
        return 0;
    Manager &m = manager();
    m.use();
    if (OpenLibrary *lib = m.find(name)) {
        if (count)
            *count = lib->uses;
        return 1;
    }
    void *handle = load(name);
    if (!handle)
        return 0;
    release(handle);
    return 1;
}

int dl_close(void *handle, const char *term)
{
    Manager &m = manager();
    auto it = std::find_if(m.libraries.begin(), m.libraries.end(),
                           [handle](const auto &lib) { return lib->handle == handle; });
    if (!handle || it == m.libraries.end()) {
        esd_debug_send("Unable to find library to close");
        return -1;
    }
    if (--(*it)->uses > 0)
        return 0;
    // Out of the list before its termination runs, so that a nested open or close sees the
    // library as gone.
    std::unique_ptr<OpenLibrary> lib = std::move(*it);
    m.libraries.erase(it);
    if (term) {
        std::string why;
        if (void *entry = kiv::platform::dynlib_symbol(lib->handle, term, why))
            reinterpret_cast<TermEntry>(entry)();
        else
            esd_send("Unable to load termfunc %1 in %2", term, lib->name.c_str());
    }
    release(lib->handle);
    return 0;
}

void dl_term()
{
    Manager &m = manager();
    if (m.users == 0)
        return;
    if (m.users == 1) {
        while (!m.libraries.empty()) {
            OpenLibrary &lib = *m.libraries.front();
            lib.uses = 1;
            dl_close(lib.handle, "dll_term");
        }
    }
    --m.users;
}
