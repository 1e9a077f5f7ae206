// Reading an assembly file into the scene through the loader registry.
#include <kivctrl/kiv_db.h>
#include <kivctrl/loader.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/ve_bind.h>

int assy_read(const char *file)
{
    if (loader_invoke(nullptr, nullptr, file, nullptr, nullptr, nullptr) == LOADER_NOT_TAKEN) {
        esd_send("Error from assy_read");
        return 1;
    }
    VE_build_tree(db_get_root());
    return 0;
}

int assy_insert(const char *file, _object *parent)
{
    if (loader_invoke(obj_get_assembly(parent), parent, file, nullptr, nullptr, nullptr) ==
        LOADER_NOT_TAKEN) {
        esd_send("Error from assy_insert");
        return 1;
    }
    return 0;
}
