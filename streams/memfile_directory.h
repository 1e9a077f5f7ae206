// The process-wide directory of named memory files behind QelMemFileReader and
// QelMemFileWriter.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

// One memory file's storage. Only the stream that has it open touches the data.
struct MemFileBuffer {
    static constexpr std::size_t kGranule = 16384;

    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::size_t end = 0;     // end of data
    std::size_t cursor = 0;
    bool open = false;

    // Makes room for n more bytes at the cursor, doubling the capacity; false (nothing
    // changed) when memory runs out.
    bool reserve_at_cursor(std::size_t n);
};

namespace memfile {

// Opens the memory file called name, creating it when unknown; null when it is already open
// or memory runs out.
std::shared_ptr<MemFileBuffer> open(std::string_view name);
// Clears the open flag and trims the block to the next multiple of the granule above the
// data length.
void close(MemFileBuffer &file);
// Takes name out of the directory: 1 when the file was not open (its storage is freed with
// the last reference), 0 when it is open or unknown.
int remove(std::string_view name);

} // namespace memfile
