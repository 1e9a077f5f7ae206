// Animation paths of key nodes.
//
// No paths can be made yet, so none reach these functions.
#include <kivctrl/path.h>

void path_delete(_path *) {}

void path_to_world(_path *, const QEL_FRAME &) {}

void path_from_world(_path *, const QEL_FRAME &) {}
