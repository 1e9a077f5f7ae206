#include <kivctrl/qel_string.h>

#include <cstring>

int qel_strlen(const char *s)
{
    return s ? static_cast<int>(std::strlen(s)) : 0;
}

int qel_strlen(const unsigned short *s)
{
    if (!s)
        return 0;
    int n = 0;
    while (s[n])
        ++n;
    return n;
}
