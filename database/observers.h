// Announcing object life-cycle events to the registered observers, in rank order.
#pragma once

#include <kivctrl/db_observer.h>

namespace kiv::db {

void notify_created(_object *o);
void notify_deleting(_object *o, DB_DELETE_STAGE stage);
void notify_unlinking(_object *o);
void notify_linked(_object *o);
void notify_geometry_changing(_object *o);
// The first nonzero answer, else 0.
int notify_geometry_changed(_object *o);
// Nonzero when any observer failed.
int notify_activated(_object *o);
void notify_bulk_activation(bool begin);
void notify_renamed(_object *o);
void notify_recolored(_object *o);

}  // namespace kiv::db
