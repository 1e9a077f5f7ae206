// kivconvert: converts a part file between the forms the engine writes. The input is any
// part the loaders read (text or binary part, STL, SLP); the output's extension chooses the
// form: .kvg text, .kvb binary, .wrl VRML 2.0 (VRML 1.0 with --vrml1).
#include "engine_errors.h"
#include "part_file.h"

#include <kivctrl/gs_part_file.h>
#include <kivctrl/qel_pathname.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

const char kUsage[] = "usage: kivconvert [--vrml1] INPUT OUTPUT\n"
                      "Reads the part INPUT (.kvg, .kvb, .stl, .slp) and writes it to OUTPUT in the form its\n"
                      "extension names: .kvg text part, .kvb binary part, .wrl VRML 2.0 (VRML 1.0 with --vrml1).\n";

int fail(const std::string &why, int status = 1)
{
    std::fprintf(stderr, "kivconvert: %s\n", why.c_str());
    return status;
}

std::optional<GSfileformat> form_of(const std::string &path, bool vrml1)
{
    if (pathname_check_ext(path.c_str(), "kvg"))
        return GS_FILE_TEXT;
    if (pathname_check_ext(path.c_str(), "kvb"))
        return GS_FILE_BINARY;
    if (pathname_check_ext(path.c_str(), "wrl"))
        return vrml1 ? GS_FILE_VRML1 : GS_FILE_VRML2;
    return std::nullopt;
}

struct PartDeleter {
    void operator()(GSobject *o) const { GSobject_delete(o); }
};

} // namespace

int main(int argc, char **argv)
{
    bool vrml1 = false;
    std::vector<std::string> files;
    for (std::string_view arg : std::vector<std::string_view>(argv + 1, argv + argc)) {
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--vrml1")
            vrml1 = true;
        else if (arg.starts_with("-") && arg.size() > 1)
            return fail("unknown option '" + std::string(arg) + "' (see --help)", 2);
        else
            files.emplace_back(arg);
    }
    if (files.size() != 2)
        return fail("expected an input and an output file (see --help)", 2);
    const std::optional<GSfileformat> form = form_of(files[1], vrml1);
    if (!form)
        return fail("'" + files[1] + "' does not end in .kvg, .kvb or .wrl", 2);

    std::string error;
    const std::unique_ptr<GSobject, PartDeleter> part(kivrender::load_part(files[0], error));
    if (!part)
        return fail(error);
    kivrender::EngineErrors reports;
    if (!GSobject_write(part.get(), files[1].c_str(), *form))
        return fail(reports.last().empty() ? "cannot write '" + files[1] + "'" : reports.last());
    std::printf("kivconvert: wrote %s (%d primitives)\n", files[1].c_str(), GSobject_npolys(part.get()));
    return 0;
}
