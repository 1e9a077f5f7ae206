#include "streams/memfile_directory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Entry {
    std::string name;
    std::shared_ptr<MemFileBuffer> file;
};

// The loader thread and the window thread may both open memory files.
struct Directory {
    std::mutex lock;
    std::vector<Entry> entries;
};

Directory &directory()
{
    static Directory d;
    return d;
}

bool reallocate(MemFileBuffer &file, std::size_t capacity)
{
    std::unique_ptr<char[]> block(new (std::nothrow) char[capacity]);
    if (!block)
        return false;
    if (file.end)
        std::memcpy(block.get(), file.data.get(), std::min(file.end, capacity));
    file.data = std::move(block);
    file.capacity = capacity;
    return true;
}

} // namespace

bool MemFileBuffer::reserve_at_cursor(std::size_t n)
{
    if (n > SIZE_MAX - cursor)
        return false;
    std::size_t need = cursor + n;
    if (need <= capacity)
        return true;
    std::size_t grown = std::max(capacity, kGranule);
    while (grown < need) {
        if (grown > SIZE_MAX / 2)
            return false;
        grown *= 2;
    }
    return reallocate(*this, grown);
}

namespace memfile {

std::shared_ptr<MemFileBuffer> open(std::string_view name)
{
    Directory &d = directory();
    std::lock_guard guard(d.lock);
    auto it = std::find_if(d.entries.begin(), d.entries.end(),
                           [&](const Entry &e) { return e.name == name; });
    if (it != d.entries.end()) {
        if (it->file->open)
            return nullptr;
        it->file->open = true;
        it->file->cursor = 0;
        return it->file;
    }
    try {
        auto file = std::make_shared<MemFileBuffer>();
        if (!reallocate(*file, MemFileBuffer::kGranule))
            return nullptr;
        file->open = true;
        d.entries.push_back({std::string(name), file});
        return file;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

void close(MemFileBuffer &file)
{
    std::lock_guard guard(directory().lock);
    file.open = false;
    std::size_t trimmed = (file.end / MemFileBuffer::kGranule + 1) * MemFileBuffer::kGranule;
    if (trimmed != file.capacity)
        reallocate(file, trimmed);
}

int remove(std::string_view name)
{
    Directory &d = directory();
    std::lock_guard guard(d.lock);
    auto it = std::find_if(d.entries.begin(), d.entries.end(),
                           [&](const Entry &e) { return e.name == name; });
    if (it == d.entries.end())
        return 0;
    bool was_open = it->file->open;
    d.entries.erase(it);
    return was_open ? 0 : 1;
}

} // namespace memfile
