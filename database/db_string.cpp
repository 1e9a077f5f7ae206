#include "database/db_string.h"

#include <cstdlib>
#include <cstring>

namespace kiv::db {

char *copy_string(const char *s, bool *failed)
{
    if (failed)
        *failed = false;
    if (!s)
        return nullptr;
    const std::size_t n = std::strlen(s) + 1;
    char *copy = static_cast<char *>(std::malloc(n));
    if (!copy) {
        if (failed)
            *failed = true;
        return nullptr;
    }
    std::memcpy(copy, s, n);
    return copy;
}

bool replace_string(char *&slot, const char *s)
{
    bool failed = false;
    char *copy = copy_string(s, &failed);
    if (failed)
        return false;
    std::free(slot);
    slot = copy;
    return true;
}

void free_string(char *&slot)
{
    std::free(slot);
    slot = nullptr;
}

}  // namespace kiv::db
