#include <kivctrl/objlist.h>

#include <kivctrl/kiv_db.h>

namespace {

// Lets an object filter drive the untyped list searches.
class FilterAdaptor final : public ILIST_FILTER {
public:
    explicit FilterAdaptor(OBJLIST_FILTER *f) : f_(f) {}
    int test(void *elem) override { return f_->test(static_cast<_object *>(elem)); }

private:
    OBJLIST_FILTER *f_;
};

}  // namespace

int objlist_type_matches(const _object *o, int mask)
{
    return (static_cast<unsigned>(mask) >> (o->type & 31)) & 1u;
}

int OBJLIST::findcontents(OBJLIST_FILTER *f)
{
    if (!f)
        return 0;
    FilterAdaptor adaptor(f);
    return ILIST::findcontents(&adaptor);
}

// Walks from the last position to the first through get(): the cached position makes each
// step after the first cost one node.
int OBJLIST::count(int mask) const
{
    int n = 0;
    for (int i = count_; i >= 1; --i) {
        const _object *o = get(i);
        if (o && objlist_type_matches(o, mask))
            ++n;
    }
    return n;
}

int OBJLIST::isempty(int mask) const
{
    for (int i = count_; i >= 1; --i) {
        const _object *o = get(i);
        if (o && objlist_type_matches(o, mask))
            return 0;
    }
    return 1;
}

int OBJLIST_ITER::findcontents(OBJLIST_FILTER *f)
{
    if (!f)
        return 0;
    FilterAdaptor adaptor(f);
    return ILIST_ITER::findcontents(&adaptor);
}

int OBJLIST_ITER::next(int mask)
{
    while (ILIST_ITER::next()) {
        const _object *o = getdata();
        if (o && objlist_type_matches(o, mask))
            return 1;
    }
    return 0;
}

int OBJLIST_ITER::prev(int mask)
{
    while (ILIST_ITER::prev()) {
        const _object *o = getdata();
        if (o && objlist_type_matches(o, mask))
            return 1;
    }
    return 0;
}

int OBJLIST_ITER::first(int mask)
{
    reset();
    return next(mask);
}

int OBJLIST_ITER::last(int mask)
{
    reset();
    return prev(mask);
}
