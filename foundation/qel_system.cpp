#include <kivctrl/qel_process.h>

#include "platform/system_id.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

int qel_sleep(unsigned seconds)
{
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return 0;
}

int qel_msleep(unsigned milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return 0;
}

unsigned qel_getdiskid()
{
    return kiv::platform::volume_serial();
}

char *qel_getguid()
{
    const std::string guid = kiv::platform::new_guid();
    char *out = static_cast<char *>(std::malloc(guid.size() + 1));
    if (out)
        std::memcpy(out, guid.c_str(), guid.size() + 1);
    return out;
}
