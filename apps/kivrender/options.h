// Command line of kivrender.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kivrender {

struct Options {
    std::string part;    // the part file to render
    std::string output;  // the picture to write; empty: the part's simple name + ".png"
    int width = 800;
    int height = 600;
    std::string view = "iso";
    bool help = false;
};

// The names --view accepts, in the order the help lists them.
const std::vector<std::string_view> &view_names();

// Parses argv[1..]; on a mistake returns false with a one-line explanation in error.
bool parse_options(const std::vector<std::string_view> &args, Options &options, std::string &error);

// The --help text.
std::string usage();

} // namespace kivrender
