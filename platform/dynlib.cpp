#include "platform/dynlib.h"

#include <dlfcn.h>

namespace kiv::platform {

namespace {

std::string last_error()
{
    const char *text = dlerror();
    return text ? text : "";
}

} // namespace

void *dynlib_open(const std::string &file, std::string &why)
{
    dlerror();
    void *lib = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        why = last_error();
    return lib;
}

void *dynlib_symbol(void *lib, const char *name, std::string &why)
{
    dlerror();
    void *entry = dlsym(lib, name);
    if (!entry)
        why = last_error();
    return entry;
}

bool dynlib_close(void *lib, std::string &why)
{
    dlerror();
    if (dlclose(lib) == 0)
        return true;
    why = last_error();
    return false;
}

} // namespace kiv::platform
