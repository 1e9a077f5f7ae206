// The global collision mode.
#include <kivctrl/collide.h>

#include <atomic>

namespace {

std::atomic<int> g_mode{COLLIDE_OFF};

}  // namespace

void env_set_collide_mode(COLLIDE_MODE mode)
{
    if (mode == 0)
        g_mode = COLLIDE_OFF;
    else if (mode >= COLLIDE_OFF && mode <= COLLIDE_CONTACT)
        g_mode = mode;  // anything else would leave the collide tasks without a behaviour
}

COLLIDE_MODE env_get_collide_mode()
{
    return static_cast<COLLIDE_MODE>(g_mode.load());
}
