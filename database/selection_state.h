// Process-wide state of the selection lists, and the select and deselect steps that the
// active-list operations and layers share.
#pragma once

#include "database/ordered_objects.h"

#include <memory>
#include <vector>

class _object;
class SelectionBinding;

namespace kiv::db {

struct SelList {
    int id;
    OrderedObjects objects;
};

struct SelectionState {
    SelectionState();
    std::vector<std::unique_ptr<SelList>> lists;  // list 0 first, then by id
    SelList *active;
    int next_id = 1;
    std::vector<SelectionBinding *> bindings;
};

SelectionState &selection();
SelList *find_list(int id);
SelList &active_list();

// Appends o to the active list and binds it (401, bindings, 410, 404). false when o is null
// or already selected.
bool select_into_active(_object *o);
// Removes o from the active list and unbinds it (bindings, 411, 405, the new first object,
// 402). false when o was not selected.
bool deselect_from_active(_object *o);
// The binding half of the two steps, with its messages, for list id.
void bind_selected(_object *o, int id);
void unbind_selected(_object *o, int id);

}  // namespace kiv::db
