// A radix heap in base 8: a monotone min-queue of 32-bit keys, each with a 32-bit value.
// Every key pushed is at least the last minimum taken (a smaller one is to be raised to it
// first, see admit), so entries sort into buckets by the highest octal digit in which they
// differ from that minimum and by their value of that digit; taking the minimum empties the
// lowest bucket into buckets of lower digits. An entry moves at most once per digit, a third
// as often as in base 2. Entries of equal keys come out in an order fixed by the order of the
// pushes. Its memory is walked in order, not at random.
#pragma once

#include "platform/large_pages.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

struct RadixEntry {
    uint32_t key;
    uint32_t value;
};

class RadixQueue {
public:
    bool empty() const { return size_ == 0; }

    // Starts from these entries (the queue must be empty), each bucket sized at once.
    void assign(const kiv::platform::LargeVector<RadixEntry> &entries)
    {
        if (entries.empty()) return;
        last_ = std::min_element(entries.begin(), entries.end(), by_key)->key;
        std::array<size_t, kBuckets> count{};
        for (const RadixEntry &e : entries) ++count[bucket(e.key)];
        for (size_t b = 0; b < kBuckets; ++b)
            if (count[b] > 0) buckets_[b].reserve(count[b] + count[b] / 2);
        for (const RadixEntry &e : entries) put(e);
        size_ = entries.size();
    }

    // The key an entry pushed now must have: key, or the last minimum when that is larger.
    uint32_t admit(uint32_t key) const { return std::max(key, last_); }

    void push(const RadixEntry &e)
    {
        put(e);
        ++size_;
    }

    const RadixEntry &top()
    {
        if (buckets_[0].empty()) refill();
        return buckets_[0].back();
    }

    void pop()
    {
        top();
        buckets_[0].pop_back();
        --size_;
    }

private:
    static constexpr int kDigitBits = 3;
    static constexpr size_t kDigits = (32 + kDigitBits - 1) / kDigitBits;
    static constexpr size_t kBuckets = 1 + (kDigits << kDigitBits);

    static bool by_key(const RadixEntry &a, const RadixEntry &b) { return a.key < b.key; }

    // 0 for the minimum itself; otherwise 1 + the highest differing digit's place times 8 +
    // the key's value of that digit, so that bucket order is key order. Buckets above the one
    // a minimum comes from stay right for it: it shares their higher digits.
    size_t bucket(uint32_t key) const
    {
        if (key == last_) return 0;
        const int place = (31 - std::countl_zero(key ^ last_)) / kDigitBits;
        const uint32_t digit = (key >> (place * kDigitBits)) & ((1u << kDigitBits) - 1);
        return 1 + (size_t(place) << kDigitBits) + digit;
    }

    void put(const RadixEntry &e)
    {
        const size_t b = bucket(e.key);
        buckets_[b].push_back(e);
        used_[b / 64] |= uint64_t(1) << (b % 64);
    }

    void refill()
    {
        used_[0] &= ~uint64_t(1);  // bucket 0 is empty: it is marked but never looked for
        size_t b = 0;
        for (size_t w = 0; w < used_.size(); ++w)
            if (used_[w] != 0) {
                b = 64 * w + size_t(std::countr_zero(used_[w]));
                break;
            }
        used_[b / 64] &= ~(uint64_t(1) << (b % 64));
        kiv::platform::LargeVector<RadixEntry> &from = buckets_[b];
        last_ = std::min_element(from.begin(), from.end(), by_key)->key;
        for (const RadixEntry &e : from) put(e);
        from.clear();
    }

    std::array<kiv::platform::LargeVector<RadixEntry>, kBuckets> buckets_;
    std::array<uint64_t, (kBuckets + 63) / 64> used_{};  // buckets that may hold entries
    uint32_t last_ = 0;
    size_t size_ = 0;
};
