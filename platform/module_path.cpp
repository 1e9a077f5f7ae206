#include "platform/module_path.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include <memory>

namespace kiv::platform {
namespace {

std::string absolute(const char *file)
{
    std::unique_ptr<char, decltype(&::free)> real(::realpath(file, nullptr), ::free);
    return real ? std::string(real.get()) : std::string(file);
}

const void *module_base(const void *address)
{
    Dl_info info{};
    return ::dladdr(address, &info) ? info.dli_fbase : nullptr;
}

} // namespace

std::string module_file(const void *address)
{
    if (!address)
        return absolute("/proc/self/exe");
    Dl_info info{};
    if (!::dladdr(address, &info) || !info.dli_fname || !*info.dli_fname)
        return {};
    return absolute(info.dli_fname);
}

bool is_engine_module(const void *address)
{
    static const void *const own = module_base(reinterpret_cast<const void *>(&module_file));
    return address && own && module_base(address) == own;
}

} // namespace kiv::platform
