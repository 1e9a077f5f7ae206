// Command line of kivrender.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kivrender {

struct Options {
    std::string part;    // the part or assembly file to render (a path or URL)
    std::string output;  // the picture to write; empty: the part's simple name + ".png"
    int width = 800;
    int height = 600;
    std::string view = "iso";
    bool help = false;
};

// The standard views --view accepts, in the order the help lists them; an assembly also
// offers the views it names.
const std::vector<std::string_view> &view_names();
// Those names as a list for messages: "front, back, ... or iso".
std::string view_list();

// Parses argv[1..]; on a mistake returns false with a one-line explanation in error.
bool parse_options(const std::vector<std::string_view> &args, Options &options, std::string &error);

// The --help text.
std::string usage();

} // namespace kivrender
