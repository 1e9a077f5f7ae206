#include <kivctrl/qel_list.h>

#include <cstdlib>
#include <new>

namespace {

ILIST_NODE *new_node(void *e)
{
    return new (std::nothrow) ILIST_NODE{e, nullptr, nullptr, 0, false};
}

// The default comparison of findcontents: a match is the very same pointer. (A pointer
// difference truncated to int could read as 0 for two different addresses.)
int same_pointer(void *elem, void *key)
{
    return elem == key ? 0 : 1;
}

}  // namespace

// ILIST

ILIST::~ILIST()
{
    clear();
}

void ILIST::open()
{
    clear();
}

void ILIST::close()
{
    clear();
}

void ILIST::clear()
{
    while (head_)
        unlink(head_);
    set_cache(nullptr, 0);
}

ILIST_NODE *ILIST::link_before(ILIST_NODE *at, void *e)
{
    if (!at)
        return link_after(tail_, e);
    if (at == head_)
        return link_after(nullptr, e);
    ILIST_NODE *n = new_node(e);
    if (!n)
        return nullptr;
    n->prev = at->prev;
    n->next = at;
    at->prev->next = n;
    at->prev = n;
    ++count_;
    set_cache(nullptr, 0);  // positions after n shifted
    return n;
}

ILIST_NODE *ILIST::link_after(ILIST_NODE *at, void *e)
{
    ILIST_NODE *n = new_node(e);
    if (!n)
        return nullptr;
    ++count_;
    if (!at) {  // at the front
        n->next = head_;
        if (head_)
            head_->prev = n;
        else
            tail_ = n;
        head_ = n;
        if (cache_index_)
            ++cache_index_;
        return n;
    }
    n->prev = at;
    n->next = at->next;
    if (at->next)
        at->next->prev = n;
    else
        tail_ = n;
    at->next = n;
    if (n != tail_)
        set_cache(nullptr, 0);  // inserted in the middle: positions shifted
    return n;
}

void ILIST::unlink(ILIST_NODE *n)
{
    if (n == cache_)
        set_cache(nullptr, 0);
    else if (n == head_) {
        if (cache_index_)
            --cache_index_;
    } else if (n != tail_)
        set_cache(nullptr, 0);

    if (n->prev)
        n->prev->next = n->next;
    else
        head_ = n->next;
    if (n->next)
        n->next->prev = n->prev;
    else
        tail_ = n->prev;
    --count_;

    if (n->iters) {
        n->orphan = true;  // the last iterator leaving it frees it
        n->prev = n->next = nullptr;
    } else
        delete n;
}

ILIST_NODE *ILIST::node_at(int i, bool remember) const
{
    if (i < 1 || i > count_)
        return nullptr;
    const int from_head = i - 1;
    const int from_tail = count_ - i;
    const int best_end = from_head <= from_tail ? from_head : from_tail;
    ILIST_NODE *n;
    int at;
    if (cache_index_ && std::abs(cache_index_ - i) < best_end) {
        n = cache_;
        at = cache_index_;
    } else if (from_head <= from_tail) {
        n = head_;
        at = 1;
    } else {
        n = tail_;
        at = count_;
    }
    for (; at < i; ++at)
        n = n->next;
    for (; at > i; --at)
        n = n->prev;
    if (remember)
        set_cache(n, i);
    return n;
}

int ILIST::insert(void *e)
{
    return link_after(nullptr, e) ? 1 : 0;
}

int ILIST::append(void *e)
{
    return link_after(tail_, e) ? count_ : 0;
}

void *ILIST::get(int i) const
{
    ILIST_NODE *n = node_at(i);
    return n ? n->data : nullptr;
}

int ILIST::set(int i, void *e)
{
    ILIST_NODE *n = node_at(i);
    if (!n)
        return 0;
    n->data = e;
    return 1;
}

int ILIST::remove(int i)
{
    // The node is about to go: the remembered position stays where it was and follows the
    // unlinking rules.
    ILIST_NODE *n = node_at(i, false);
    if (!n)
        return 0;
    unlink(n);
    return 1;
}

int ILIST::remove(void *e)
{
    for (ILIST_NODE *n = head_; n; n = n->next) {
        if (n->data == e) {
            unlink(n);
            return 1;
        }
    }
    return 0;
}

int ILIST::remove_all(void *e)
{
    int removed = 0;
    for (ILIST_NODE *n = head_; n;) {
        ILIST_NODE *next = n->next;
        if (n->data == e) {
            unlink(n);
            ++removed;
        }
        n = next;
    }
    return removed;
}

int ILIST::find(void *e)
{
    int i = 1;
    for (ILIST_NODE *n = head_; n; n = n->next, ++i) {
        if (n->data == e) {
            set_cache(n, i);
            return i;
        }
    }
    return 0;
}

int ILIST::findcontents(void *key, ILIST_CMP cmp)
{
    if (!cmp)
        cmp = same_pointer;
    if (cache_index_ && cmp(cache_->data, key) == 0)
        return cache_index_;
    int i = 1;
    for (ILIST_NODE *n = head_; n; n = n->next, ++i) {
        if (cmp(n->data, key) == 0) {
            set_cache(n, i);
            return i;
        }
    }
    return 0;
}

int ILIST::findcontents(ILIST_FILTER *f)
{
    if (!f)
        return 0;
    if (cache_index_ && f->test(cache_->data) == 0)
        return cache_index_;
    int i = 1;
    for (ILIST_NODE *n = head_; n; n = n->next, ++i) {
        if (f->test(n->data) == 0) {
            set_cache(n, i);
            return i;
        }
    }
    return 0;
}

// ILIST_ITER

ILIST_ITER::ILIST_ITER(const ILIST_ITER &other) : list_(other.list_)
{
    stand_on(other.node_);
}

ILIST_ITER &ILIST_ITER::operator=(const ILIST_ITER &other)
{
    if (this != &other) {
        list_ = other.list_;
        stand_on(other.node_);
    }
    return *this;
}

void ILIST_ITER::stand_on(ILIST_NODE *n)
{
    if (n == node_)
        return;
    if (n)
        ++n->iters;
    ILIST_NODE *old = node_;
    node_ = n;
    if (old && --old->iters == 0 && old->orphan)
        delete old;
}

void ILIST_ITER::settle()
{
    if (node_ && node_->orphan)
        stand_on(nullptr);
}

void ILIST_ITER::attach(ILIST *l)
{
    stand_on(nullptr);
    list_ = l;
}

void ILIST_ITER::detach()
{
    stand_on(nullptr);
    list_ = nullptr;
}

int ILIST_ITER::next()
{
    settle();
    if (!list_)
        return 0;
    stand_on(node_ ? node_->next : list_->head_);
    return node_ != nullptr;
}

int ILIST_ITER::prev()
{
    settle();
    if (!list_)
        return 0;
    stand_on(node_ ? node_->prev : list_->tail_);
    return node_ != nullptr;
}

int ILIST_ITER::first()
{
    reset();
    return next();
}

int ILIST_ITER::last()
{
    reset();
    return prev();
}

void *ILIST_ITER::getdata()
{
    settle();
    return node_ ? node_->data : nullptr;
}

void ILIST_ITER::setdata(void *e)
{
    settle();
    if (node_)
        node_->data = e;
}

int ILIST_ITER::remove()
{
    settle();
    if (!node_ || !list_)
        return 0;
    ILIST_NODE *old = node_;
    const int moved = next();
    list_->unlink(old);
    return moved;
}

int ILIST_ITER::insert_before(void *e)
{
    settle();
    if (!list_)
        return 0;
    ILIST_NODE *n = list_->link_before(node_, e);
    if (!n)
        return 0;
    stand_on(n);
    return 1;
}

int ILIST_ITER::insert_after(void *e)
{
    settle();
    if (!list_)
        return 0;
    ILIST_NODE *n = list_->link_after(node_, e);
    if (!n)
        return 0;
    stand_on(n);
    return 1;
}

int ILIST_ITER::find(void *e)
{
    while (next()) {
        if (node_->data == e)
            return 1;
    }
    return 0;
}

int ILIST_ITER::findcontents(void *key, ILIST_CMP cmp)
{
    if (!cmp)
        cmp = same_pointer;
    while (next()) {
        if (cmp(node_->data, key) == 0)
            return 1;
    }
    return 0;
}

int ILIST_ITER::findcontents(ILIST_FILTER *f)
{
    if (!f) {
        reset();
        return 0;
    }
    while (next()) {
        if (f->test(node_->data) == 0)
            return 1;
    }
    return 0;
}
