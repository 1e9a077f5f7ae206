// A list of optional texts, 1-based: the suffixes and names that factories of every
// registry (loaders, savers, image readers and writers) are found by.
#pragma once

#include <optional>
#include <string>
#include <vector>

class QelTextList {
public:
    // A null text added stays null.
    void add(const char *text);
    int count() const { return static_cast<int>(items_.size()); }
    // Null when i is outside 1..count() or the entry is null.
    const char *get(int i) const;

private:
    std::vector<std::optional<std::string>> items_;
};
