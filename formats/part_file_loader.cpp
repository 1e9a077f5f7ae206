#include "formats/part_file_loader.h"

#include <kivctrl/loader.h>

int load_part_file(const char *file, GSfileformat form, GSobject **geometry)
{
    GSobject *obj = file ? GSobject_read(file, form) : nullptr;
    if (obj) {
        const float origin[3] = {0.0f, 0.0f, 0.0f};
        GSobject_setpivot(obj, origin, GS_FRAME_LOCAL);
    }
    const bool read = obj != nullptr;
    if (geometry)
        *geometry = obj;
    else
        GSobject_delete(obj);
    return read ? LOADER_GEOMETRY : LOADER_NOT_TAKEN;
}
