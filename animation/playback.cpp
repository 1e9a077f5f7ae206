// Playback of the animation list: its process-wide flags.
//
// Frames advance only once the animate task exists, so starting playback sets the flags a
// later start reads and plays nothing yet.
#include <kivctrl/anim.h>
#include <kivctrl/kiv_db.h>

namespace {

bool g_stop = false;
bool g_loop = false;
InsertPathInfo g_insert;

} // namespace

void traverse_stop()
{
    g_stop = true;
}

void traverse_clear()
{
    g_stop = false;
}

void traverse_loop()
{
    g_loop = !g_loop;
}

int traverse_get_loop()
{
    return g_loop ? 1 : 0;
}

int path_get_autostate()
{
    return 0;
}

int KivAssembly::PathTraverseAll()
{
    return 0;
}

void SetInsertComponentPathInfo(int paths, int list, int frames)
{
    g_insert.paths = paths;
    g_insert.list = paths ? list : 0;
    g_insert.frames = paths && list ? frames : 0;
}

InsertPathInfo insert_component_path_info()
{
    return g_insert;
}
