// Bookmarks kept with objects.
//
// Bookmarks are not read yet, so none exist to be freed.
#include <kivctrl/bookmark.h>

void bookmark_delete(_bookmark *) {}
