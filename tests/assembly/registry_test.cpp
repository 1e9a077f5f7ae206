// The loader and saver registries: order, replacement by name, lookup and messages.
#include <kivctrl/kivctrl.h>

#include "support/bus_recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const kivtest::BusRecorder::Wanted kRegistryMessages =
    kivtest::codes_between(MSG_LOADER_REGISTERED, MSG_SAVER_UNREGISTERED);

class Factory : public LoaderFactoryImp {
public:
    Factory(const char *name, const char *suffix, int priority, int hints)
        : LoaderFactoryImp(suffix), name_(name), priority_(priority), hints_(hints)
    {
    }
    const char *name() override { return name_; }
    int priority() override { return priority_; }
    int hints() override { return hints_; }
    Loader *create() override { return nullptr; }

private:
    const char *name_;
    int priority_;
    int hints_;
};

class Registered {
public:
    explicit Registered(LoaderFactory *f) : f_(f) { loader_register(f); }
    ~Registered() { loader_unregister(f_); }
    Registered(const Registered &) = delete;
    Registered &operator=(const Registered &) = delete;

private:
    LoaderFactory *f_;
};

// Positions of the given factories, in registry order.
std::vector<std::string> order_of(std::initializer_list<LoaderFactory *> fs)
{
    std::vector<std::string> names;
    for (int i = 1; i <= loader_count(); ++i)
        for (LoaderFactory *f : fs)
            if (loader_get_factory(i) == f)
                names.emplace_back(f->name());
    return names;
}

TEST(LoaderRegistry, OrderByPriorityHintsSuffixThenName)
{
    // Registered out of order.
    Factory low("Low", "aaa", 5, 0);
    Factory hints_high("HintsHigh", "aaa", 50, 0x14);  // low bits 4 sort last
    Factory hints_low("HintsLow", "zzz", 50, 0xf1);    // low bits 1 sort first
    Factory suffix_b("SuffixB", "Bbb", 50, 3);
    Factory suffix_a("SuffixA", "aaa", 50, 3);
    Factory name_b("nameB", "ccc", 50, 3);
    Factory name_a("NameA", "CCC", 50, 3);
    Factory twin1("twin", "ddd", 50, 3);
    Factory top("Top", "zzz", 1000, 15);
    std::vector<std::unique_ptr<Registered>> regs;
    for (LoaderFactory *f : std::initializer_list<LoaderFactory *>{
             &low, &hints_high, &hints_low, &suffix_b, &suffix_a, &name_b, &name_a, &twin1, &top})
        regs.push_back(std::make_unique<Registered>(f));
    EXPECT_EQ(order_of({&low, &hints_high, &hints_low, &suffix_b, &suffix_a, &name_b, &name_a,
                        &twin1, &top}),
              (std::vector<std::string>{"Top", "HintsLow", "SuffixA", "SuffixB", "NameA",
                                        "nameB", "twin", "HintsHigh", "Low"}));
    EXPECT_EQ(loader_get_index(&top) + 1, loader_get_index(&hints_low));
}

TEST(LoaderRegistry, BuiltInFactoriesInTheirOrder)
{
    // The engine's own factories that are present keep the order of their table, the
    // library loader last.
    const char *order[] = {"KIV Assembly", "KIV Binary Part", "KIV Part", "XML KIV Assembly",
                           "Pro/E Render File", "Stereolithography",
                           "Stereolithography (binary)", "Addin"};
    int last = 0;
    for (const char *name : order) {
        if (LoaderFactory *f = loader_get_factory(name)) {
            SCOPED_TRACE(name);
            EXPECT_GT(loader_get_index(f), last);
            last = loader_get_index(f);
        }
    }
    EXPECT_EQ(last, loader_count());
    EXPECT_EQ(loader_get_factory("kvg"), nullptr);
    EXPECT_EQ(saver_count(), 0);
}

TEST(LoaderRegistry, SameNameReplacesInPlace)
{
    Factory a("Same", "x", 7, 0), b("same", "X", 7, 0);
    kivtest::BusRecorder messages(kRegistryMessages);
    Registered ra(&a);
    // b has a's name: it replaces a (1808 for a's place, then 1807 for b's).
    const int count = loader_count();
    Registered rb(&b);
    EXPECT_EQ(loader_count(), count);
    EXPECT_EQ(loader_get_index(&a), 0);
    const std::vector<std::pair<int, int>> seen = messages.codes_and_counts();
    ASSERT_GE(seen.size(), 3u);
    const int a_index = seen[0].second;
    EXPECT_EQ(seen[0].first, MSG_LOADER_REGISTERED);
    EXPECT_EQ(seen[1], std::make_pair(int(MSG_LOADER_UNREGISTERED), a_index));
    EXPECT_EQ(seen[2], std::make_pair(int(MSG_LOADER_REGISTERED), loader_get_index(&b)));
    EXPECT_EQ(loader_get_index(&b), a_index);
}

TEST(LoaderRegistry, FoundByAnyNameNeverBySuffix)
{
    struct Multi : LoaderFactoryMultNamesImp {
        Multi() : LoaderFactoryMultNamesImp("Main Name", "mnm") { name_add("Alias"); }
        Loader *create() override { return nullptr; }
    } multi;
    Registered r(&multi);
    EXPECT_EQ(loader_get_factory("main name"), &multi);
    EXPECT_EQ(loader_get_factory("ALIAS"), &multi);
    EXPECT_EQ(loader_get_factory("mnm"), nullptr);
    EXPECT_EQ(loader_get_factory(static_cast<const char *>(nullptr)), nullptr);
    EXPECT_EQ(loader_get_factory("Addin"), loader_get_factory(loader_count()));
    EXPECT_EQ(loader_get_factory("so"), nullptr);

    // A factory registered under an alias of another replaces it.
    Factory alias("alias", "zz", 0, 0);
    Registered ra(&alias);
    EXPECT_EQ(loader_get_index(&multi), 0);
    EXPECT_EQ(loader_get_factory("Alias"), &alias);
}

TEST(LoaderRegistry, FactoryNamesAndSuffixLists)
{
    Factory f("F", "one", 0, 0);
    f.suffix_add(nullptr);
    f.suffix_add("three");
    LoaderFactory &base = f;
    EXPECT_EQ(f.suffix_count(), 3);
    EXPECT_STREQ(f.suffix(), "one");
    EXPECT_EQ(f.suffix(2), nullptr);
    EXPECT_STREQ(f.suffix(3), "three");
    EXPECT_EQ(f.suffix(0), nullptr);
    EXPECT_EQ(f.suffix(4), nullptr);
    EXPECT_EQ(f.name_count(), 1);
    EXPECT_STREQ(base.name(7), "F");
    EXPECT_STREQ(f.extname(), "F");
    EXPECT_STREQ(f.version(), __DATE__);

    struct Multi : LoaderFactoryMultNamesImp {
        Multi() : LoaderFactoryMultNamesImp(nullptr, "s") {}
        Loader *create() override { return nullptr; }
    } nameless;
    EXPECT_EQ(nameless.name_count(), 1);
    EXPECT_EQ(nameless.name(), nullptr);
    EXPECT_EQ(nameless.name(2), nullptr);
}

TEST(LoaderRegistry, UnregisteringTheUnknownChangesNothing)
{
    Factory stranger("Stranger", "s", 0, 0);
    kivtest::BusRecorder messages(kRegistryMessages);
    const int count = loader_count();
    EXPECT_EQ(loader_unregister(&stranger), 0);
    EXPECT_EQ(loader_unregister(nullptr), 0);
    EXPECT_EQ(loader_register(nullptr), 0);
    EXPECT_EQ(loader_count(), count);
    EXPECT_TRUE(messages.codes_and_counts().empty());
    EXPECT_EQ(loader_get_factory(0), nullptr);
    EXPECT_EQ(loader_get_factory(count + 1), nullptr);
}

class Saver1 : public SaverFactoryImp {
public:
    Saver1(const char *name, const char *suffix, int priority)
        : SaverFactoryImp(suffix), name_(name), priority_(priority)
    {
    }
    const char *name() override { return name_; }
    int priority() override { return priority_; }
    Saver *create() override { return nullptr; }

private:
    const char *name_;
    int priority_;
};

TEST(SaverRegistry, ExistsOnlyWhileSaversAreRegistered)
{
    EXPECT_EQ(saver_count(), 0);
    Saver1 vrml("VRML", "wrl", 0), text("Text Part", "kvg", 0), first("First", "zzz", 9);
    kivtest::BusRecorder messages(kRegistryMessages);
    EXPECT_EQ(saver_register(&vrml), 0);
    EXPECT_EQ(saver_register(&text), 0);
    EXPECT_EQ(saver_register(&first), 0);
    EXPECT_EQ(saver_get_factory(1), &first);
    EXPECT_EQ(saver_get_factory(2), &text);
    EXPECT_EQ(saver_get_factory(3), &vrml);
    EXPECT_EQ(saver_get_factory("vrml"), &vrml);
    EXPECT_EQ(saver_get_factory("wrl"), nullptr);

    Saver1 again("vrml", "aaa", 0);
    saver_register(&again);
    EXPECT_EQ(saver_count(), 3);
    EXPECT_EQ(saver_get_index(&vrml), 0);
    EXPECT_EQ(saver_get_index(&again), 2);
    EXPECT_EQ(messages.codes_and_counts(), (std::vector<std::pair<int, int>>{
                                 {MSG_SAVER_REGISTERED, 1}, {MSG_SAVER_REGISTERED, 1},
                                 {MSG_SAVER_REGISTERED, 1}, {MSG_SAVER_UNREGISTERED, 3},
                                 {MSG_SAVER_REGISTERED, 2}}));
    for (SaverFactory *f : {static_cast<SaverFactory *>(&again), static_cast<SaverFactory *>(&text),
                            static_cast<SaverFactory *>(&first)})
        saver_unregister(f);
    EXPECT_EQ(saver_count(), 0);
    EXPECT_EQ(saver_get_factory(1), nullptr);
}

} // namespace
