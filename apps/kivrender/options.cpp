#include "options.h"

#include <kivctrl/gs_display.h>

#include <charconv>

namespace kivrender {

namespace {

// A side of 1 to the largest surface side, all digits.
bool parse_side(std::string_view text, int &out)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > GSbitmapDisplaySurface::kMaxSide)
        return false;
    out = value;
    return true;
}

bool parse_size(std::string_view text, Options &options)
{
    const auto x = text.find_first_of("xX");
    if (x == std::string_view::npos)
        return false;
    int width = 0, height = 0;
    if (!parse_side(text.substr(0, x), width) || !parse_side(text.substr(x + 1), height))
        return false;
    options.width = width;
    options.height = height;
    return true;
}

} // namespace

std::string view_list()
{
    std::string list;
    const auto &names = view_names();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i)
            list += i + 1 == names.size() ? " or " : ", ";
        list += names[i];
    }
    return list;
}

const std::vector<std::string_view> &view_names()
{
    static const std::vector<std::string_view> names = {"front", "back", "top", "bottom", "left", "right", "iso"};
    return names;
}

bool parse_options(const std::vector<std::string_view> &args, Options &options, std::string &error)
{
    std::vector<std::string_view> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            return true;
        }
        if (arg.size() < 2 || arg[0] != '-' || arg == "--") {
            if (arg == "--" && i + 1 < args.size())
                arg = args[++i];
            files.push_back(arg);
            continue;
        }
        // --name=value or --name value.
        std::string_view name = arg, value;
        bool has_value = false;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            has_value = true;
        }
        if (name != "--size" && name != "--view" && name != "-o" && name != "--output") {
            error = "unknown option '" + std::string(name) + "' (see --help)";
            return false;
        }
        if (!has_value) {
            if (i + 1 >= args.size()) {
                error = "option " + std::string(name) + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (name == "--size") {
            if (!parse_size(value, options)) {
                error = "bad --size '" + std::string(value) + "': expected WIDTHxHEIGHT, each 1 to " +
                        std::to_string(GSbitmapDisplaySurface::kMaxSide);
                return false;
            }
        } else if (name == "--view") {
            // Checked once the file is read: an assembly names views of its own.
            if (value.empty()) {
                error = "option --view needs a view name";
                return false;
            }
            options.view = value;
        } else {
            if (value.empty()) {
                error = "option " + std::string(name) + " needs a file name";
                return false;
            }
            options.output = value;
        }
    }
    if (files.empty()) {
        error = "no part or assembly file given (see --help)";
        return false;
    }
    if (files.size() > 1) {
        error = "more than one file given: '" + std::string(files[1]) + "'";
        return false;
    }
    options.part = files[0];
    return true;
}

std::string usage()
{
    return "usage: kivrender [--size WxH] [--view VIEW] [-o OUTPUT.png] FILE\n"
           "\n"
           "Renders a part file (KVG, STL, SLP, or a form a loader plug-in adds) or an assembly\n"
           "file (KVASF, compressed or not, or XMLASF), given as a path or an HTTP or FTP URL,\n"
           "without a display and saves the picture through the still-picture writer plug-in for\n"
           "the output's suffix (qel_png.so for .png).\n"
           "In a standard view the whole part or assembly fills the picture with a small margin;\n"
           "an assembly can also be seen from one of its viewpoints or preset views by name.\n"
           "\n"
           "  --size WxH       picture size in pixels (default 800x600, each side 1 to " +
           std::to_string(GSbitmapDisplaySurface::kMaxSide) +
           ")\n"
           "  --view VIEW      " +
           view_list() +
           ", or a view the assembly names (default iso)\n"
           "  -o, --output F   the picture file (default: the file's name with .png, here)\n"
           "  -h, --help       this text\n"
           "\n"
           "Exit status: 0 done, 1 the file could not be rendered or saved, 2 bad command line\n"
           "or a view the file does not have.\n";
}

} // namespace kivrender
