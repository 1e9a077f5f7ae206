// The monotone min-queue under the decimation, against an ordered multiset.
#include "graphics/radix_queue.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <random>
#include <set>

namespace {

// Pops one entry and checks it against the reference, which holds key -> value counts.
void expect_pop(RadixQueue &q, std::map<uint32_t, std::multiset<uint32_t>> &reference)
{
    ASSERT_FALSE(q.empty());
    const RadixEntry e = q.top();
    q.pop();
    ASSERT_EQ(e.key, reference.begin()->first);
    auto &values = reference.begin()->second;
    const auto it = values.find(e.value);
    ASSERT_NE(it, values.end()) << "key " << e.key << " value " << e.value;
    values.erase(it);
    if (values.empty()) reference.erase(reference.begin());
}

TEST(RadixQueue, TakesEntriesInKeyOrderWhileKeysArePushedAboveTheMinimum)
{
    struct Case {
        const char *name;
        uint32_t spread;  // keys pushed lie up to this far above the minimum
    };
    for (const Case &c : {Case{"narrow", 16}, Case{"wide", 1u << 20}, Case{"full", std::numeric_limits<uint32_t>::max() / 2}}) {
        SCOPED_TRACE(c.name);
        std::mt19937 random(11);
        std::map<uint32_t, std::multiset<uint32_t>> reference;
        kiv::platform::LargeVector<RadixEntry> first;
        for (uint32_t i = 0; i < 5000; ++i) {
            const RadixEntry e{uint32_t(random() % c.spread), i};
            first.push_back(e);
            reference[e.key].insert(e.value);
        }
        RadixQueue q;
        q.assign(first);
        uint32_t value = 5000;
        while (!reference.empty()) {
            ASSERT_NO_FATAL_FAILURE(expect_pop(q, reference));
            // Pushes: above the minimum, or raised to it (some equal to it).
            for (uint32_t n = random() % 3; n > 0; --n) {
                if (value > 20000) break;
                const uint32_t wanted = uint32_t(random() % c.spread) + (random() % 2 ? q.admit(0) : 0);
                const RadixEntry e{q.admit(wanted), value++};
                q.push(e);
                reference[e.key].insert(e.value);
            }
        }
        EXPECT_TRUE(q.empty());
    }
}

TEST(RadixQueue, EqualKeysAndTheExtremesOfTheRange)
{
    RadixQueue q;
    kiv::platform::LargeVector<RadixEntry> first = {{7, 0}, {7, 1}, {0xFFFFFFFEu, 2}, {7, 3}};
    q.assign(first);
    std::map<uint32_t, std::multiset<uint32_t>> reference = {{7, {0, 1, 3}}, {0xFFFFFFFEu, {2}}};
    ASSERT_NO_FATAL_FAILURE(expect_pop(q, reference));
    q.push({q.admit(0), 4});  // raised to 7
    reference[7].insert(4);
    q.push({0xFFFFFFFFu, 5});
    reference[0xFFFFFFFFu].insert(5);
    while (!reference.empty()) ASSERT_NO_FATAL_FAILURE(expect_pop(q, reference));
    EXPECT_TRUE(q.empty());
}

}  // namespace
