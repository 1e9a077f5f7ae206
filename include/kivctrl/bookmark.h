// Bookmarks: named snapshots of object attributes kept with their object, in the object's
// bookmark list, until the object is deleted.
#pragma once

#include <kivctrl/path_node.h>

#include <cstdint>

class _object;

class _bookmark : public PathNode {
public:
    static constexpr int kMaskSize = PATH_ATTR_COUNT;

    // A new bookmark holds attributes 1 to 40, not attribute 0.
    explicit _bookmark(unsigned char flag = 0);
    _bookmark(const _bookmark &) = delete;
    _bookmark &operator=(const _bookmark &) = delete;
    ~_bookmark() override;

    // Stores a copy (null clears).
    void set_name(const char *text);
    const char *get_name() const { return name; }
    // Whether the bookmark holds attribute i; bits outside 0 to 40 read 0 and ignore writes.
    int get_mask(int i) const;
    void set_mask(int i, int on);

    char *name = nullptr;  // owned
    unsigned char flag;
    int mask_size = kMaskSize;
    std::uint64_t mask;
};

// Adds b to o's bookmark list, taking it; a bookmark of the same name (compared exactly) is
// replaced in its place. A null object frees b.
void obj_add_bookmark(_object *o, _bookmark *b);
// The bookmark of o with this name, or null.
_bookmark *obj_find_bookmark(_object *o, const char *name);
// Frees a bookmark.
void bookmark_delete(_bookmark *b);
