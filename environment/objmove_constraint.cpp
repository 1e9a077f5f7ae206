// The constraints used while the user drags objects: a toggle singling out one degree of
// freedom.
#include <kivctrl/placement.h>

namespace {

struct ObjMoveRecord {
    CONSTRAINT entries[6]{};
    int all_free = 1;
};

ObjMoveRecord g_objmove;

bool valid_dof(int dof)
{
    return dof >= DOF_X && dof <= DOF_RZ;
}

}  // namespace

void env_set_objmove_constraint(int dof, const CONSTRAINT &c)
{
    if (!valid_dof(dof))
        return;
    if (!g_objmove.all_free && g_objmove.entries[dof].flags == 0) {
        // The degree of freedom singled out already: a second press frees everything.
        for (CONSTRAINT &e : g_objmove.entries)
            e.flags = 0;
        g_objmove.all_free = 1;
        return;
    }
    for (int i = 0; i < 6; ++i)
        g_objmove.entries[i].flags = CONSTRAINT::LOCKED;
    g_objmove.entries[dof] = c;
    g_objmove.all_free = 0;
}

CONSTRAINT env_get_objmove_constraint(int dof)
{
    return g_objmove.entries[valid_dof(dof) ? dof : 0];
}

int env_get_anymove_constraint()
{
    int n = 0;
    for (const CONSTRAINT &e : g_objmove.entries)
        if (e.flags == CONSTRAINT::LOCKED)
            ++n;
    return n;
}
