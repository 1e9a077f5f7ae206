#include <kivctrl/qel_list.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Exposes the remembered position so tests can check the rules that keep it true.
struct ProbeList : ILIST {
    int cached_index() const { return cache_index_; }
    void *cached_data() const { return cache_ ? cache_->data : nullptr; }
};

void *P(std::uintptr_t v)
{
    return reinterpret_cast<void *>(v);
}

std::vector<void *> contents(ILIST &l)
{
    std::vector<void *> out;
    ILIST_ITER it(l);
    while (it.next())
        out.push_back(it.getdata());
    return out;
}

void fill(ILIST &l, std::initializer_list<std::uintptr_t> values)
{
    for (auto v : values)
        l.append(P(v));
}

}  // namespace

TEST(Ilist, OutOfRangePositionsGiveNullOrZero)
{
    ILIST empty;
    ILIST three;
    fill(three, {1, 2, 3});
    struct Case {
        ILIST *list;
        int pos;
    } cases[] = {{&empty, 0}, {&empty, 1}, {&empty, -1}, {&three, 0}, {&three, 4}, {&three, -5}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pos);
        EXPECT_EQ(c.list->get(c.pos), nullptr);
        EXPECT_EQ(c.list->set(c.pos, P(9)), 0);
        EXPECT_EQ(c.list->remove(c.pos), 0);
    }
    EXPECT_EQ(contents(three), (std::vector<void *>{P(1), P(2), P(3)}));
}

TEST(Ilist, AppendReturnsPositionAndInsertPutsFirst)
{
    ILIST l;
    EXPECT_TRUE(l.isempty());
    EXPECT_EQ(l.append(P(1)), 1);
    EXPECT_EQ(l.add(P(2)), 2);
    EXPECT_EQ(l.append(P(3)), 3);
    EXPECT_EQ(l.append(P(4)), 4);
    EXPECT_EQ(l.insert(P(0)), 1);
    EXPECT_EQ(l.count(), 5);
    EXPECT_EQ(contents(l), (std::vector<void *>{P(0), P(1), P(2), P(3), P(4)}));
    EXPECT_EQ(l.set(2, P(7)), 1);
    EXPECT_EQ(l.get(2), P(7));
    // Walking backwards and jumping around still reaches the right nodes.
    for (int i = 5; i >= 1; --i)
        EXPECT_EQ(l.get(i), contents(l)[i - 1]);
    EXPECT_EQ(l.get(4), P(3));
    EXPECT_EQ(l.get(1), P(0));
    EXPECT_EQ(l.get(5), P(4));
    l.clear();
    EXPECT_TRUE(l.isempty());
    EXPECT_EQ(l.get(1), nullptr);
    EXPECT_EQ(l.append(P(8)), 1);
}

TEST(Ilist, RemoveByValueTakesFirstAndRemoveAllTakesEvery)
{
    ILIST l;
    fill(l, {5, 1, 5, 2, 5});
    EXPECT_EQ(l.remove(P(5)), 1);
    EXPECT_EQ(contents(l), (std::vector<void *>{P(1), P(5), P(2), P(5)}));
    l.insert(P(5));
    EXPECT_EQ(l.remove_all(P(5)), 3);
    EXPECT_EQ(contents(l), (std::vector<void *>{P(1), P(2)}));
    EXPECT_EQ(l.remove(P(5)), 0);
    EXPECT_EQ(l.remove_all(P(5)), 0);
    EXPECT_EQ(l.find(P(2)), 2);
    EXPECT_EQ(l.find(P(9)), 0);
}

TEST(Ilist, CachedPositionFollowsRemovalOfHead)
{
    ProbeList l;
    fill(l, {10, 20, 30, 40, 50});
    ASSERT_EQ(l.get(3), P(30));
    ASSERT_EQ(l.remove(1), 1);
    // The old third element is now second and is the remembered node: zero steps.
    EXPECT_EQ(l.cached_index(), 2);
    EXPECT_EQ(l.cached_data(), P(30));
    EXPECT_EQ(l.get(2), P(30));
}

TEST(Ilist, CachedPositionRules)
{
    struct Case {
        const char *what;
        void (*change)(ProbeList &);
        int index;  // expected cached index afterwards, 0 = cleared
    } cases[] = {
        {"insert at front", [](ProbeList &l) { l.insert(P(1)); }, 4},
        {"append", [](ProbeList &l) { l.append(P(1)); }, 3},
        {"insert in the middle", [](ProbeList &l) {
             ILIST_ITER it(l);
             it.next();
             it.insert_after(P(1));
         }, 0},
        {"insert before the head", [](ProbeList &l) {
             ILIST_ITER it(l);
             it.next();
             it.insert_before(P(1));
         }, 4},
        {"unlink the cached node", [](ProbeList &l) { l.remove(3); }, 0},
        {"unlink the head", [](ProbeList &l) { l.remove(1); }, 2},
        {"unlink the tail", [](ProbeList &l) { l.remove(5); }, 3},
        {"unlink another node", [](ProbeList &l) { l.remove(4); }, 0},
        {"clear", [](ProbeList &l) { l.clear(); }, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ProbeList l;
        fill(l, {10, 20, 30, 40, 50});
        l.get(3);
        c.change(l);
        EXPECT_EQ(l.cached_index(), c.index);
        if (c.index) {
            EXPECT_EQ(l.cached_data(), P(30));
        }
        // Whatever the cache says, positional access stays right.
        auto all = contents(l);
        for (int i = 1; i <= l.count(); ++i)
            EXPECT_EQ(l.get(i), all[i - 1]);
    }
}

TEST(Ilist, FindcontentsTriesTheCachedPositionFirst)
{
    ILIST l;
    int a = 7, b = 3, c = 7;
    l.append(&a);
    l.append(&b);
    l.append(&c);
    auto same_int = [](void *elem, void *key) { return *static_cast<int *>(elem) - *static_cast<int *>(key); };
    int seven = 7;
    l.get(3);
    EXPECT_EQ(l.findcontents(&seven, same_int), 3);
    EXPECT_EQ(l.find(&a), 1);  // find always gives the first, and caches it
    EXPECT_EQ(l.findcontents(&seven, same_int), 1);
    int three = 3;
    EXPECT_EQ(l.findcontents(&three, same_int), 2);
    int none = 1;
    EXPECT_EQ(l.findcontents(&none, same_int), 0);
    // Default: pointer identity.
    EXPECT_EQ(l.findcontents(&c), 3);
    EXPECT_EQ(l.findcontents(&seven), 0);
}

TEST(Ilist, DefaultFindcontentsIsExactOnSixtyFourBitAddresses)
{
    // Two addresses 4 GiB apart: their difference truncated to int would be 0.
    ILIST l;
    l.append(P(0x100000010));
    EXPECT_EQ(l.findcontents(P(0x10)), 0);
    ILIST_ITER it(l);
    EXPECT_EQ(it.findcontents(P(0x10)), 0);
}

TEST(Ilist, FilterFindsFirstMatchAndNullFilterGivesZero)
{
    struct Odd : ILIST_FILTER {
        int test(void *e) override { return reinterpret_cast<std::uintptr_t>(e) % 2 ? 0 : 1; }
    } odd;
    ILIST l;
    fill(l, {2, 4, 5, 7});
    EXPECT_EQ(l.findcontents(&odd), 3);
    EXPECT_EQ(l.findcontents(static_cast<ILIST_FILTER *>(nullptr)), 0);
    ILIST_ITER it(l);
    EXPECT_EQ(it.findcontents(&odd), 1);
    EXPECT_EQ(it.getdata(), P(5));
    EXPECT_EQ(it.findcontents(&odd), 1);
    EXPECT_EQ(it.getdata(), P(7));
    EXPECT_EQ(it.findcontents(&odd), 0);
    EXPECT_EQ(it.getdata(), nullptr);
}

TEST(IlistIter, WalksBothWaysAndWraps)
{
    ILIST l;
    fill(l, {1, 2, 3});
    ILIST_ITER it(l);
    EXPECT_EQ(it.getdata(), nullptr);
    EXPECT_TRUE(it.prev());
    EXPECT_EQ(it.getdata(), P(3));
    EXPECT_TRUE(it.prev());
    EXPECT_TRUE(it.prev());
    EXPECT_EQ(it.getdata(), P(1));
    EXPECT_FALSE(it.prev());  // off the front: before the first element again
    EXPECT_TRUE(it.next());
    EXPECT_EQ(it.getdata(), P(1));
    EXPECT_TRUE(it.last());
    EXPECT_EQ(it.getdata(), P(3));
    ILIST_ITER copy(it);
    EXPECT_EQ(copy.getdata(), P(3));
    EXPECT_FALSE(it.next());
    EXPECT_TRUE(it.first());
    it.setdata(P(9));
    EXPECT_EQ(l.get(1), P(9));
    it.detach();
    EXPECT_FALSE(it.next());

    ILIST empty;
    ILIST_ITER e(empty);
    EXPECT_FALSE(e.first());
    EXPECT_FALSE(e.last());
    EXPECT_EQ(e.remove(), 0);
}

TEST(IlistIter, InsertFromBeforeTheFirstElement)
{
    ILIST l;
    fill(l, {1, 2});
    ILIST_ITER it(l);
    ASSERT_TRUE(it.insert_after(P(0)));
    EXPECT_EQ(it.getdata(), P(0));
    it.reset();
    ASSERT_TRUE(it.insert_before(P(3)));
    EXPECT_EQ(it.getdata(), P(3));
    EXPECT_EQ(contents(l), (std::vector<void *>{P(0), P(1), P(2), P(3)}));
    // In the middle.
    ASSERT_TRUE(it.first() && it.next());
    it.insert_before(P(5));
    it.insert_after(P(6));
    EXPECT_EQ(contents(l), (std::vector<void *>{P(0), P(5), P(6), P(1), P(2), P(3)}));
    EXPECT_EQ(l.count(), 6);
    EXPECT_EQ(l.get(6), P(3));
}

TEST(IlistIter, RemoveStepsOnFirstSoDrainLoopEmptiesTheList)
{
    ILIST l;
    fill(l, {1, 2, 3});
    ILIST_ITER it(l);
    it.next();
    EXPECT_EQ(it.remove(), 1);  // now standing on 2 already
    EXPECT_EQ(it.getdata(), P(2));
    it.last();
    EXPECT_EQ(it.remove(), 0);  // the tail: nothing follows
    EXPECT_EQ(contents(l), (std::vector<void *>{P(2)}));

    fill(l, {4, 5});
    std::vector<void *> handled;
    while (it.first()) {
        handled.push_back(it.getdata());
        it.remove();
    }
    EXPECT_EQ(handled, (std::vector<void *>{P(2), P(4), P(5)}));
    EXPECT_TRUE(l.isempty());
}

TEST(IlistIter, FindStartsAfterCurrentAndResetsWhenMissing)
{
    ILIST l;
    fill(l, {1, 2, 1, 3});
    ILIST_ITER it(l);
    ASSERT_TRUE(it.find(P(1)));
    ASSERT_TRUE(it.find(P(1)));
    EXPECT_TRUE(it.next());
    EXPECT_EQ(it.getdata(), P(3));
    EXPECT_FALSE(it.find(P(2)));
    EXPECT_EQ(it.getdata(), nullptr);
    EXPECT_TRUE(it.find(P(2)));  // from the start again
}

TEST(IlistIter, NodeRemovedBehindAnIteratorLeavesItBeforeTheFirst)
{
    ILIST l;
    fill(l, {1, 2, 3});
    ILIST_ITER a(l), b(l);
    a.next();
    a.next();
    b.next();
    b.next();
    l.remove(2);        // under both iterators
    EXPECT_EQ(a.getdata(), nullptr);
    EXPECT_TRUE(a.next());
    EXPECT_EQ(a.getdata(), P(1));
    EXPECT_EQ(b.remove(), 0);  // nothing to remove any more
    EXPECT_EQ(contents(l), (std::vector<void *>{P(1), P(3)}));

    ILIST_ITER c(l);
    c.last();
    ILIST_ITER d(c);
    EXPECT_EQ(d.remove(), 0);  // c still stands on the unlinked tail
    EXPECT_EQ(c.getdata(), nullptr);
    l.clear();
    EXPECT_FALSE(a.next() && a.getdata());
}

TEST(IList, TypedWrapper)
{
    struct Item {
        int v;
    } x{1}, y{2};
    IList<Item> l;
    l.append(&x);
    l.insert(&y);
    Item *first = l.get(1);
    EXPECT_EQ(first, &y);
    EXPECT_EQ(l.find(&x), 2);
    IListIter<Item> it(l);
    int sum = 0;
    while (it.next())
        sum += it.getdata()->v;
    EXPECT_EQ(sum, 3);
    EXPECT_EQ(l.remove(&x), 1);
    EXPECT_EQ(l.count(), 1);
}

namespace {

struct Num {
    int v;
    int tag;
};

int compares = 0;

int by_value(void *a, void *b)
{
    ++compares;
    return static_cast<Num *>(a)->v - static_cast<Num *>(b)->v;
}

std::vector<int> tags(SRTDLIST &l)
{
    std::vector<int> out;
    for (int i = 1; i <= l.count(); ++i)
        out.push_back(static_cast<Num *>(l.get(i))->tag);
    return out;
}

}  // namespace

TEST(Srtdlist, AppendGoesLastAmongEqualsInsertFirst)
{
    Num two_a{2, 1}, one{1, 2}, two_b{2, 3}, three{3, 4}, two_c{2, 5};
    SRTDLIST l(by_value);
    EXPECT_EQ(l.append(&two_a), 1);
    EXPECT_EQ(l.append(&one), 1);
    EXPECT_EQ(l.add(&two_b), 3);
    EXPECT_EQ(l.append(&three), 4);
    EXPECT_EQ(tags(l), (std::vector<int>{2, 1, 3, 4}));
    EXPECT_EQ(l.insert(&two_c), 1);
    EXPECT_EQ(tags(l), (std::vector<int>{2, 5, 1, 3, 4}));
    EXPECT_EQ(l.insert(nullptr), 0);
    EXPECT_EQ(l.append(nullptr), 0);
    EXPECT_EQ(l.count(), 5);
}

TEST(Srtdlist, WithoutComparisonItIsAPlainList)
{
    Num a{2, 1}, b{1, 2};
    SRTDLIST l;
    l.append(&a);
    l.append(&b);
    l.insert(&b);
    EXPECT_EQ(tags(l), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(l.findbykey(&a), 2);
}

TEST(Srtdlist, FindbykeyStopsAtFirstLargerElement)
{
    Num n1{1, 1}, n3{3, 2}, n5{5, 3};
    SRTDLIST l(by_value);
    l.add(&n5);
    l.add(&n1);
    l.add(&n3);
    Num k0{0, 0}, k3{3, 0}, k4{4, 0}, k9{9, 0};
    compares = 0;
    EXPECT_EQ(l.findbykey(&k0), 0);
    EXPECT_EQ(compares, 1);
    EXPECT_EQ(l.findbykey(&k3), 2);
    EXPECT_EQ(l.findbykey(&k4), 0);
    EXPECT_EQ(l.findbykey(&k9), 0);
    EXPECT_EQ(l.findbykey(nullptr), 0);

    SRTDLIST_ITER it(l);
    EXPECT_EQ(it.findbykey(&k4), 0);
    EXPECT_EQ(static_cast<Num *>(it.getdata())->v, 3);  // last sorting before 4
    it.reset();
    EXPECT_EQ(it.findbykey(&k9), 0);
    EXPECT_EQ(static_cast<Num *>(it.getdata())->v, 5);  // end reached: the tail
    it.reset();
    EXPECT_EQ(it.findbykey(&k0), 0);
    EXPECT_EQ(it.getdata(), nullptr);
    EXPECT_EQ(it.findbykey(&k3), 1);
    EXPECT_EQ(static_cast<Num *>(it.getdata())->v, 3);
}
