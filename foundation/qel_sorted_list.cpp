#include <kivctrl/qel_list.h>

int SRTDLIST::insert(void *e)
{
    if (!e)
        return 0;
    if (!cmp_)
        return ILIST::insert(e);
    ILIST_NODE *x = head_;
    while (x && cmp_(e, x->data) > 0)
        x = x->next;
    return link_before(x, e) ? 1 : 0;
}

int SRTDLIST::append(void *e)
{
    if (!e)
        return 0;
    if (!cmp_)
        return ILIST::append(e);
    ILIST_NODE *x = tail_;
    int pos = count_;
    while (x && cmp_(e, x->data) < 0) {
        x = x->prev;
        --pos;
    }
    return link_after(x, e) ? pos + 1 : 0;
}

int SRTDLIST::findbykey(void *key)
{
    if (!cmp_)
        return find(key);
    if (!key)
        return 0;
    int i = 1;
    for (ILIST_NODE *x = head_; x; x = x->next, ++i) {
        const int r = cmp_(key, x->data);
        if (r == 0)
            return i;
        if (r < 0)
            return 0;
    }
    return 0;
}

int SRTDLIST_ITER::findbykey(void *key)
{
    SRTDLIST_CMP cmp = list_ ? static_cast<SRTDLIST *>(list_)->comparison() : nullptr;
    if (!cmp)
        return find(key);
    if (!key) {
        reset();
        return 0;
    }
    while (next()) {
        const int r = cmp(key, node_->data);
        if (r == 0)
            return 1;
        if (r < 0)
            break;
    }
    prev();  // onto the last element sorting before key
    return 0;
}
