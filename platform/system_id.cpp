#include "platform/system_id.h"

#include <sys/statvfs.h>
#include <uuid/uuid.h>

namespace kiv::platform {

unsigned volume_serial()
{
    struct statvfs st{};
    if (::statvfs("/", &st) != 0)
        return 0;
    const unsigned long long fsid = st.f_fsid;
    return static_cast<unsigned>(fsid ^ (fsid >> 32));
}

std::string new_guid()
{
    uuid_t id;
    ::uuid_generate(id);
    char text[37];
    ::uuid_unparse_upper(id, text);
    return "{" + std::string(text) + "}";
}

} // namespace kiv::platform
