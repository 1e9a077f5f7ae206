// Doubly linked lists of untyped pointers: ILIST and its iterator, the typed IList<T>,
// and the comparison-ordered SRTDLIST.
//
// Positions are 1-based; 0 means "not found". No list owns its elements: clearing or
// destroying a list frees only its nodes. Each list remembers the node of its most recent
// positional access, so a loop over get(1), get(2), ... costs one step per call.
//
// An iterator stands on a node or "before the first element" (no node). Nodes count the
// iterators standing on them; a node unlinked while an iterator other than the unlinking one
// stands on it is kept alive for that iterator, which then behaves as if it stood before the
// first element. Destroying a list while an iterator is still attached to it is not allowed.
// A list is not safe for concurrent use, not even by readers only: get() moves the remembered
// position.
#pragma once

#include <cstdint>

// One element's node. Internal to the list family; exposed so wrappers can stay inline.
struct ILIST_NODE {
    void *data;
    ILIST_NODE *prev;
    ILIST_NODE *next;
    std::uint32_t iters;  // iterators standing on this node
    bool orphan;          // unlinked while iterators still stood on it
};

// Comparison used by findcontents: 0 when elem matches key.
typedef int (*ILIST_CMP)(void *elem, void *key);

// Test object for findcontents: test() returns 0 for the element sought.
class ILIST_FILTER {
public:
    virtual ~ILIST_FILTER() = default;
    virtual int test(void *elem) = 0;
};

class ILIST_ITER;

class ILIST {
public:
    ILIST() = default;
    ~ILIST();
    ILIST(const ILIST &) = delete;
    ILIST &operator=(const ILIST &) = delete;

    // Empty list. Any nodes still held are freed (the list never shares its nodes).
    void open();
    // Frees every node (not the elements) and resets to empty.
    void clear();
    void close();

    int isempty() const { return head_ == nullptr; }
    int count() const { return count_; }

    // Adds e at the front; 1, or 0 when no node can be allocated.
    int insert(void *e);
    // Adds e at the end; the new count (e's position), or 0 when no node can be allocated.
    int append(void *e);
    int add(void *e) { return append(e); }

    // Element at position i, null when i is out of 1..count.
    void *get(int i) const;
    // Replaces the element at i; 1, or 0 when i is out of range.
    int set(int i, void *e);
    // Unlinks position i; 1, or 0 when i is out of range.
    int remove(int i);
    // Unlinks the first node holding e; the number removed (0 or 1).
    int remove(void *e);
    // Unlinks every node holding e; the number removed.
    int remove_all(void *e);

    // Position of the first node holding e, 0 if none.
    int find(void *e);
    // Position of an element for which cmp(element, key) is 0. The cached position is tested
    // first; otherwise the first match from the head. A null cmp compares pointers.
    int findcontents(void *key, ILIST_CMP cmp = nullptr);
    // As above with the filter's test(); a null filter gives 0.
    int findcontents(ILIST_FILTER *f);

protected:
    // Links a new node holding e before `at` (at the end when `at` is null); null when no node
    // can be allocated. Keeps the cached position true.
    ILIST_NODE *link_before(ILIST_NODE *at, void *e);
    // Links a new node holding e after `at` (at the front when `at` is null).
    ILIST_NODE *link_after(ILIST_NODE *at, void *e);
    // Unlinks and frees n (or hands it to the iterators still standing on it).
    void unlink(ILIST_NODE *n);
    // Node at position i (1..count), walking from the nearest known place; remember makes it
    // the cached position.
    ILIST_NODE *node_at(int i, bool remember = true) const;
    void set_cache(ILIST_NODE *n, int i) const
    {
        cache_ = n;
        cache_index_ = i;
    }

    ILIST_NODE *head_ = nullptr;
    ILIST_NODE *tail_ = nullptr;
    int count_ = 0;
    mutable ILIST_NODE *cache_ = nullptr;
    mutable int cache_index_ = 0;  // 0: no cached position

    friend class ILIST_ITER;
};

class ILIST_ITER {
public:
    ILIST_ITER() = default;
    explicit ILIST_ITER(ILIST *l) : list_(l) {}
    explicit ILIST_ITER(ILIST &l) : list_(&l) {}
    ILIST_ITER(const ILIST_ITER &other);
    ILIST_ITER &operator=(const ILIST_ITER &other);
    ~ILIST_ITER() { stand_on(nullptr); }

    // Attach to l, standing before the first element.
    void open(ILIST *l) { attach(l); }
    void attach(ILIST *l);
    void detach();
    void close() { detach(); }

    // Steps forward (from before the first element to the head); nonzero while on an element.
    int next();
    // Steps backward (from before the first element to the tail).
    int prev();
    // To the head / tail; nonzero when the list is not empty.
    int first();
    int last();
    // Back to before the first element.
    void reset() { stand_on(nullptr); }

    void *getdata();
    void setdata(void *e);

    // On an element: steps to the next one, unlinks the old node, and returns what the step
    // returned. Before the first element: 0.
    int remove();
    // Inserts e before the current element (at the end when before the first element) and
    // stands on it; 0 when no node can be allocated.
    int insert_before(void *e);
    // Inserts e after the current element (at the front when before the first element).
    int insert_after(void *e);

    // Advance, starting after the current element, to a match; nonzero if found, otherwise
    // it stands before the first element.
    int find(void *e);
    int findcontents(void *key, ILIST_CMP cmp = nullptr);
    int findcontents(ILIST_FILTER *f);

    ILIST *list() const { return list_; }

protected:
    // Moves onto n (null: before the first element), keeping the nodes' iterator counts.
    void stand_on(ILIST_NODE *n);
    // Drops a node that was unlinked behind this iterator's back.
    void settle();

    ILIST *list_ = nullptr;
    ILIST_NODE *node_ = nullptr;
};

// The same list typed for T* elements (tasks, paths, geometry, presets).
class _task;
class _path;
class _geometry;
class _preset;

template <class T> class IList : public ILIST {
public:
    int insert(T *e) { return ILIST::insert(e); }
    int append(T *e) { return ILIST::append(e); }
    int add(T *e) { return ILIST::append(e); }
    T *get(int i) const { return static_cast<T *>(ILIST::get(i)); }
    int set(int i, T *e) { return ILIST::set(i, e); }
    int remove(int i) { return ILIST::remove(i); }
    int remove(T *e) { return ILIST::remove(static_cast<void *>(e)); }
    int remove_all(T *e) { return ILIST::remove_all(e); }
    int find(T *e) { return ILIST::find(e); }
    int findcontents(void *key, int (*cmp)(T *elem, void *key))
    {
        return ILIST::findcontents(key, reinterpret_cast<ILIST_CMP>(cmp));
    }
    int findcontents(ILIST_FILTER *f) { return ILIST::findcontents(f); }
};

template <class T> class IListIter : public ILIST_ITER {
public:
    IListIter() = default;
    explicit IListIter(IList<T> *l) : ILIST_ITER(l) {}
    explicit IListIter(IList<T> &l) : ILIST_ITER(l) {}
    void open(IList<T> *l) { ILIST_ITER::attach(l); }
    void attach(IList<T> *l) { ILIST_ITER::attach(l); }
    T *getdata() { return static_cast<T *>(ILIST_ITER::getdata()); }
    void setdata(T *e) { ILIST_ITER::setdata(e); }
    int insert_before(T *e) { return ILIST_ITER::insert_before(e); }
    int insert_after(T *e) { return ILIST_ITER::insert_after(e); }
    int find(T *e) { return ILIST_ITER::find(e); }
};

// Ordering for SRTDLIST: negative when a sorts before b, 0 when equal, positive after.
typedef int (*SRTDLIST_CMP)(void *a, void *b);

// A list kept in order by cmp. Without cmp it behaves as a plain ILIST.
// get/set/remove/find/findcontents are those of ILIST (set does not re-sort).
class SRTDLIST : public ILIST {
public:
    explicit SRTDLIST(SRTDLIST_CMP cmp = nullptr) : cmp_(cmp) {}
    void open(SRTDLIST_CMP cmp)
    {
        ILIST::open();
        cmp_ = cmp;
    }
    SRTDLIST_CMP comparison() const { return cmp_; }

    // Before the first element not sorting before e (first among equals); 1, or 0 when e is
    // null or no node can be allocated. Without cmp: at the front.
    int insert(void *e);
    // After the last element not sorting after e (last among equals); e's position, or 0.
    // Without cmp: at the end.
    int append(void *e);
    int add(void *e) { return append(e); }
    // Position of the element equal to key, walking from the head and stopping at the first
    // element that sorts after key; 0 if none or key is null. Without cmp: find(key).
    int findbykey(void *key);

private:
    SRTDLIST_CMP cmp_;
};

class SRTDLIST_ITER : public ILIST_ITER {
public:
    SRTDLIST_ITER() = default;
    explicit SRTDLIST_ITER(SRTDLIST *l) : ILIST_ITER(l) {}
    explicit SRTDLIST_ITER(SRTDLIST &l) : ILIST_ITER(l) {}
    void open(SRTDLIST *l) { ILIST_ITER::attach(l); }
    void attach(SRTDLIST *l) { ILIST_ITER::attach(l); }

    // Walks on from after the current element: 1 standing on the match, or 0 standing on the
    // last element that sorts before key (before the first element when there is none).
    int findbykey(void *key);
};
