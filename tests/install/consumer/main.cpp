// A host program built only against the installed package.
#include <kivctrl/kivctrl.h>

#include <cstdio>

int main()
{
    if (qel_strlen("kivctrl") != 7) {
        std::puts("unexpected result from the installed engine");
        return 1;
    }
    return 0;
}
