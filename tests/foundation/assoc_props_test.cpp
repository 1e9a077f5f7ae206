#include <kivctrl/qel_assoc.h>
#include <kivctrl/qel_props.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Assoc, AddReplacesValueOfPresentKeyCaseSensitively)
{
    int p = 1, q = 2, r = 3;
    ASSOC a;
    EXPECT_EQ(a.add("a", &p), nullptr);
    EXPECT_EQ(a.add("a", &q), &p);
    EXPECT_EQ(a.count(), 1);
    EXPECT_EQ(a.getvalue("a"), &q);
    EXPECT_EQ(a.getvalue("A"), nullptr);
    EXPECT_EQ(a.find("A"), 0);
    EXPECT_EQ(a.add("A", &r), nullptr);
    EXPECT_EQ(a.count(), 2);
    EXPECT_EQ(a.find("A"), 2);
    EXPECT_STREQ(a.getkey(2), "A");
    EXPECT_STREQ(a.getkey("a"), "a");
    EXPECT_EQ(a.getkey("b"), nullptr);
    EXPECT_EQ(a.getkey(3), nullptr);
}

TEST(Assoc, KeysAreCopiedAndNullKeyIsAKeyOfItsOwn)
{
    int p = 1, q = 2;
    ASSOC a;
    std::string key = "bolt";
    a.add(key.c_str(), &p);
    key = "nut!";
    EXPECT_EQ(a.getvalue("bolt"), &p);
    EXPECT_EQ(a.add(nullptr, &q), nullptr);
    EXPECT_EQ(a.find(nullptr), 2);
    EXPECT_EQ(a.getvalue(nullptr), &q);
    EXPECT_EQ(a.getkey(2), nullptr);
    EXPECT_EQ(a.getvalue(""), nullptr);
}

TEST(Assoc, SetvalueRemoveAndFindcontents)
{
    int p = 1, q = 2, r = 2;
    ASSOC a;
    a.add("x", &p);
    a.add("y", &q);
    EXPECT_EQ(a.setvalue("z", &r), nullptr);  // absent: nothing added
    EXPECT_EQ(a.count(), 2);
    EXPECT_EQ(a.setvalue(1, &r), &p);
    EXPECT_EQ(a.setvalue(5, &r), nullptr);
    EXPECT_EQ(a.findcontents(&q), 2);
    auto same_int = [](void *value, void *v) { return *static_cast<int *>(value) - *static_cast<int *>(v); };
    EXPECT_EQ(a.findcontents(&q, same_int), 1);  // x now holds r == 2
    EXPECT_EQ(a.remove("x"), &r);
    EXPECT_EQ(a.remove("x"), nullptr);
    EXPECT_EQ(a.remove(7), nullptr);
    EXPECT_EQ(a.remove(1), &q);
    EXPECT_TRUE(a.isempty());
}

TEST(Assoc, ClearCallsTheReleaseFunctionOnEachValueInOrder)
{
    static std::vector<int> released;
    released.clear();
    int v[3] = {1, 2, 3};
    ASSOC a;
    a.add("one", &v[0]);
    a.add("two", &v[1]);
    a.add("three", &v[2]);
    a.clear([](void *value) { released.push_back(*static_cast<int *>(value)); });
    EXPECT_EQ(released, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(a.count(), 0);
    a.add("four", &v[0]);
    a.close();  // no function: values untouched
    EXPECT_EQ(released.size(), 3u);
    EXPECT_TRUE(a.isempty());
}

namespace {

std::vector<std::string> keys(Props &p)
{
    std::vector<std::string> out;
    PropsIter it(p);
    while (it.next())
        out.emplace_back(it.getKey());
    return out;
}

}  // namespace

TEST(Props, KeysIgnoreCaseAndKeepTheirFirstSpelling)
{
    Props p;
    Property *first = p.add("Color", "red");
    ASSERT_NE(first, nullptr);
    first->setPersist(0);
    Property *second = p.add("COLOR", "blue", "Colour");
    EXPECT_EQ(second, first);
    EXPECT_EQ(p.count(), 1);
    EXPECT_EQ(keys(p), (std::vector<std::string>{"Color"}));
    Property *found = p.get("color");
    ASSERT_EQ(found, first);
    EXPECT_STREQ(found->getValue(), "blue");
    EXPECT_STREQ(found->getLabel(), "Colour");
    EXPECT_EQ(found->getPersist(), 0);  // kept
    // A plain add takes label and state back to their defaults.
    p.add("color", "green", 7);
    EXPECT_EQ(found->getState(), 7);
    EXPECT_EQ(found->getLabel(), nullptr);
    p.add("color", "green");
    EXPECT_EQ(found->getState(), 0);
    EXPECT_EQ(p.get("colour"), nullptr);
}

TEST(Props, PropertyDefaultsAndCopies)
{
    std::string v = "steel";
    Property a(v.c_str());
    v = "brass";
    EXPECT_STREQ(a.getValue(), "steel");
    EXPECT_EQ(a.getPersist(), 1);
    EXPECT_EQ(a.getState(), 0);
    EXPECT_EQ(a.getLabel(), nullptr);
    Property b(nullptr, 3);
    EXPECT_EQ(b.getValue(), nullptr);
    EXPECT_EQ(b.getState(), 3);
    b.setLabel("x");
    b.setLabel(nullptr);
    EXPECT_EQ(b.getLabel(), nullptr);
}

TEST(Props, RemoveAndIterate)
{
    Props p;
    p.add("a", "1");
    p.add("b", "2");
    p.add("c", "3");
    EXPECT_EQ(p.remove("B"), 1);
    EXPECT_EQ(p.remove("b"), 0);
    PropsIter it(&p);
    EXPECT_EQ(it.getKey(), nullptr);
    EXPECT_EQ(it.getProperty(), nullptr);
    ASSERT_TRUE(it.next());
    EXPECT_STREQ(it.getProperty()->getValue(), "1");
    ASSERT_TRUE(it.next());
    EXPECT_STREQ(it.getKey(), "c");
    EXPECT_FALSE(it.next());
    it.reset();
    EXPECT_TRUE(it.next());
    p.removeAll();
    EXPECT_EQ(p.count(), 0);
}

TEST(Props, MoveReordersEntries)
{
    struct Case {
        const char *key;
        const char *after;
        std::vector<std::string> expected;
    } cases[] = {
        {"b", nullptr, {"b", "a", "c"}},
        {"a", "c", {"b", "c", "a"}},
        {"c", "a", {"a", "c", "b"}},
        {"a", "zz", {"a", "b", "c"}},
        {"zz", nullptr, {"a", "b", "c"}},
        {"b", "B", {"a", "b", "c"}},
        {"A", nullptr, {"a", "b", "c"}},
        {"a", "b", {"b", "a", "c"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.key) + " after " + (c.after ? c.after : "(front)"));
        Props p;
        p.add("a", "1");
        p.add("b", "2");
        p.add("c", "3");
        Property *before = p.get(c.key);
        p.move(c.key, c.after);
        EXPECT_EQ(keys(p), c.expected);
        EXPECT_EQ(p.count(), 3);
        EXPECT_EQ(p.get(c.key), before);
    }
}
