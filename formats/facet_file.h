// Opening facet files and reading them in pieces that never cut a word.
#pragma once

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kiv::formats {

struct FileClose {
    void operator()(std::FILE *f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileClose>;

// Opens a local file for reading in binary mode (names written on Windows are resolved).
FilePtr open_facet_file(const std::string &path);

// Hands the file to feed in pieces of up to about chunk bytes, each ending at white space or
// at the end of the file (a piece without any white space is handed over whole). Stops when
// feed returns false. False when reading failed.
template <class Feed> bool read_pieces(std::FILE *f, size_t chunk, Feed &&feed)
{
    std::vector<char> buffer(2 * chunk);
    size_t kept = 0;  // bytes carried over from the previous piece, at the front
    for (;;) {
        if (buffer.size() < kept + chunk) buffer.resize(kept + chunk);
        const size_t got = std::fread(buffer.data() + kept, 1, chunk, f);
        const size_t have = kept + got;
        const bool last = got < chunk;
        if (last && std::ferror(f)) return false;
        const std::string_view text(buffer.data(), have);
        size_t cut = have;
        if (!last) {
            const size_t space = text.find_last_of(" \t\n\r\v\f");
            if (space != std::string_view::npos) cut = space + 1;
        }
        if (!feed(text.substr(0, cut)) || last) return true;
        kept = have - cut;
        std::memmove(buffer.data(), buffer.data() + cut, kept);
    }
}

}  // namespace kiv::formats
