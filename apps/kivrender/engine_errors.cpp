#include "engine_errors.h"

namespace kivrender {

int EngineErrors::handle(short code, void *data, std::intptr_t n)
{
    if (code != MSG_ERROR || !data)
        return 0;
    const auto *record = static_cast<const ESD_MESSAGE *>(data);
    std::string text = record->format ? record->format : "";
    for (int i = 0; i < n && i < 2; ++i) {
        const std::string key = i == 0 ? "%1" : "%2";
        const std::string arg = record->args[i] ? record->args[i] : "";
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + arg.size()))
            text.replace(at, key.size(), arg);
    }
    last_ = text;
    return 0;
}

} // namespace kivrender
