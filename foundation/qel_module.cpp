#include <kivctrl/qel_process.h>

#include "foundation/utf.h"
#include "platform/module_path.h"
#include "platform/string_table.h"

#include <cstring>
#include <string>

namespace {

// Copies at most size - 1 bytes of text (whole characters) and a terminator.
int copy_bounded(const char *text, char *out, int size)
{
    if (!out || size <= 0)
        return 0;
    std::size_t n = 0;
    const std::size_t limit = static_cast<std::size_t>(size) - 1;
    while (text && text[n]) {
        const auto next = n + kiv::utf8_sequence_length(static_cast<unsigned char>(text[n]));
        if (next > limit || std::memchr(text + n, 0, next - n))
            break;
        n = next;
    }
    if (n)
        std::memcpy(out, text, n);
    out[n] = 0;
    return static_cast<int>(n);
}

} // namespace

char *qel_getlaunchd(void *module, char *out, int size)
{
    if (!out || size <= 0)
        return out;
    const std::string file = kiv::platform::module_file(module);
    const std::size_t slash = file.rfind('/');
    std::string dir;
    if (slash != std::string::npos)
        dir = file.substr(0, slash == 0 ? 1 : slash);
    if (dir.size() + 1 > static_cast<std::size_t>(size))
        dir.clear();
    std::memcpy(out, dir.c_str(), dir.size() + 1);
    return out;
}

char *qel_getlaunchd(char *out, int size) { return qel_getlaunchd(nullptr, out, size); }

int qel_get_rcstring(void *module, unsigned id, char *out, const char *fallback, int size)
{
    const char *text = nullptr;
    if (!module || kiv::platform::is_engine_module(module))
        text = kiv::platform::string_resource(id);
    return copy_bounded(text ? text : fallback, out, size);
}
