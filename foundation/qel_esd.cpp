#include <kivctrl/qel_msg.h>

#include <cstdio>
#include <cstdlib>

namespace {

int send_error(const char *format, int argc, const char *a1, const char *a2)
{
    ESD_MESSAGE m{format, 0, {a1, a2, nullptr, nullptr, nullptr}};
    return msg_send(MSG_ERROR, &m, argc);
}

}  // namespace

int esd_send(const char *format)
{
    return send_error(format, 0, nullptr, nullptr);
}

int esd_send(const char *format, const char *a1)
{
    return send_error(format, 1, a1, nullptr);
}

int esd_send(const char *format, const char *a1, const char *a2)
{
    return send_error(format, 2, a1, a2);
}

int esd_debug_send(const char *text)
{
    if (text && std::getenv("KIV_DEBUG"))
        std::fprintf(stderr, "kivctrl: %s\n", text);
    return msg_send(MSG_DEBUG, nullptr, 0);
}
