// Bookmarks: named snapshots of object attributes kept with their object.
#pragma once

class _bookmark;

// Frees a bookmark.
void bookmark_delete(_bookmark *b);
