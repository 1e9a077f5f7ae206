// ASSOC: an ordered map from text keys (case-sensitive, byte-wise) to untyped values.
// The map owns copies of its keys, never its values. Pairs keep their insertion order and are
// addressed by 1-based position like ILIST elements; a null key is a key of its own.
#pragma once

#include <kivctrl/qel_list.h>

class ASSOC {
public:
    ASSOC() = default;
    ~ASSOC() { clear(); }
    ASSOC(const ASSOC &) = delete;
    ASSOC &operator=(const ASSOC &) = delete;

    // Present key: replaces its value and returns the old one. Otherwise appends a pair with
    // a copy of key and returns null.
    void *add(const char *key, void *v);
    // Position of the pair with this key, 0 if none.
    int find(const char *key);

    // The stored key text, null when absent.
    const char *getkey(int i);
    const char *getkey(const char *key);
    // The value, null when absent.
    void *getvalue(int i);
    void *getvalue(const char *key);
    // Replaces an existing pair's value and returns the old one; an absent key adds nothing
    // and gives null.
    void *setvalue(int i, void *v);
    void *setvalue(const char *key, void *v);
    // Unlinks and frees the pair and its key copy; returns its value (null when absent).
    void *remove(int i);
    void *remove(const char *key);

    // Position of the first pair for which cmp(value, v) is 0; without cmp, whose value is v.
    int findcontents(void *v, int (*cmp)(void *value, void *v) = nullptr);

    // Removes every pair from the front, calling fn on each value first when fn is given.
    void clear(void (*fn)(void *) = nullptr);
    void close(void (*fn)(void *) = nullptr) { clear(fn); }
    void open() { clear(); }

    int count() const { return pairs_.count(); }
    int isempty() const { return pairs_.isempty(); }

private:
    struct Pair;
    Pair *pair(int i) const { return static_cast<Pair *>(pairs_.get(i)); }

    ILIST pairs_;
};
