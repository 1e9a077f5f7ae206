// The decomposition every path function shares, and the bounded copy into a caller's
// path buffer.
#pragma once

#include <string>
#include <string_view>

namespace kiv::path {

inline bool is_separator(char c)
{
    return c == '\\' || c == '/';
}

struct Parts {
    std::string_view dir;    // text before the last separator
    std::string_view simple; // file part up to its extension dot
    std::string_view ext;    // text after the extension dot
    bool has_dir = false;
    bool has_ext = false;
    char separator = 0; // the last separator of the path, 0 when none
};

// The last separator splits directory and file part; the extension dot is the last '.' of
// the file part (a leading dot gives an empty simple name). A null path has no parts.
Parts decompose(const char *path);

// The file part (simple name, dot and extension).
std::string_view file_part(const char *path);

// pathname_join without the length limit of a path buffer.
std::string join(const char *path, const char *dir, const char *ext);

// Copies text into out (QEL_PATH_MAX bytes) when it fits with its terminator, else
// empties out. Does nothing for a null out.
void store(std::string_view text, char *out);

} // namespace kiv::path
