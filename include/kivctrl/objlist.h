// OBJLIST: the engine's list of scene objects, an ILIST holding _object pointers, with
// operations that filter by object type.
//
// A type mask selects object types by bit: an object matches when bit (type & 31) of the
// mask is set, so -1 selects every type and -65 every type but faces (6).
#pragma once

#include <kivctrl/qel_list.h>

class _object;

// Test object for findcontents: test() returns 0 for the object sought.
class OBJLIST_FILTER {
public:
    virtual ~OBJLIST_FILTER() = default;
    virtual int test(_object *o) = 0;
};

// Nonzero when o's type is selected by mask (o must not be null).
int objlist_type_matches(const _object *o, int mask);

class OBJLIST : public ILIST {
public:
    int insert(_object *o) { return ILIST::insert(o); }
    int append(_object *o) { return ILIST::append(o); }
    int add(_object *o) { return ILIST::append(o); }
    _object *get(int i) const { return static_cast<_object *>(ILIST::get(i)); }
    int set(int i, _object *o) { return ILIST::set(i, o); }
    int remove(int i) { return ILIST::remove(i); }
    int remove(_object *o) { return ILIST::remove(static_cast<void *>(o)); }
    int remove_all(_object *o) { return ILIST::remove_all(o); }
    int find(_object *o) { return ILIST::find(o); }
    int findcontents(void *key, int (*cmp)(_object *elem, void *key))
    {
        return ILIST::findcontents(key, reinterpret_cast<ILIST_CMP>(cmp));
    }
    int findcontents(OBJLIST_FILTER *f);

    using ILIST::count;
    using ILIST::isempty;
    // Number of objects whose type the mask selects.
    int count(int mask) const;
    // Nonzero when no object's type is selected by the mask.
    int isempty(int mask) const;
};

class OBJLIST_ITER : public ILIST_ITER {
public:
    OBJLIST_ITER() = default;
    explicit OBJLIST_ITER(OBJLIST *l) : ILIST_ITER(l) {}
    explicit OBJLIST_ITER(OBJLIST &l) : ILIST_ITER(l) {}
    void open(OBJLIST *l) { ILIST_ITER::attach(l); }
    void attach(OBJLIST *l) { ILIST_ITER::attach(l); }

    _object *getdata() { return static_cast<_object *>(ILIST_ITER::getdata()); }
    void setdata(_object *o) { ILIST_ITER::setdata(o); }
    int insert_before(_object *o) { return ILIST_ITER::insert_before(o); }
    int insert_after(_object *o) { return ILIST_ITER::insert_after(o); }
    int find(_object *o) { return ILIST_ITER::find(o); }
    int findcontents(void *key, int (*cmp)(_object *elem, void *key))
    {
        return ILIST_ITER::findcontents(key, reinterpret_cast<ILIST_CMP>(cmp));
    }
    int findcontents(OBJLIST_FILTER *f);

    using ILIST_ITER::first;
    using ILIST_ITER::last;
    using ILIST_ITER::next;
    using ILIST_ITER::prev;
    // Step until an object the mask selects, or the end; nonzero while on an object.
    int next(int mask);
    int prev(int mask);
    // Reset, then next(mask) / prev(mask).
    int first(int mask);
    int last(int mask);
};
