#include "part_file.h"

#include "engine_errors.h"

#include <kivctrl/loader.h>
#include <kivctrl/qel_stream.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace kivrender {

namespace {

constexpr int kGeometry = 2;

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

// Why the file cannot be read, or empty when it can.
std::string unreadable(const std::string &file)
{
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        return "cannot open '" + file + "': it is a directory";
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(file.c_str(), "rb"));
    if (!f)
        return "cannot open '" + file + "': " + std::strerror(errno);
    return {};
}

} // namespace

GSobject *load_part(const std::string &file, std::string &error)
{
    // Internet names are fetched by the registry.
    const FILE_TYPE type = pathname_get_type(file.c_str());
    error = type == FILE_TYPE_HTTP || type == FILE_TYPE_FTP ? std::string() : unreadable(file);
    if (!error.empty())
        return nullptr;
    // Ask first, so that an assembly or a library is never read into the scene.
    int index = 0;
    const int kind = loader_legal(nullptr, nullptr, file.c_str(), nullptr, &index);
    if (kind != kGeometry) {
        error = "'" + file + "' is not a part file: no part loader recognises it";
        return nullptr;
    }
    EngineErrors reports;
    void *geometry = nullptr;
    const int result = loader_invoke(nullptr, nullptr, file.c_str(), nullptr, &geometry, &index);
    if (result != kGeometry || !geometry) {
        error = "cannot read part file '" + file + "'";
        if (!reports.last().empty())
            error += ": " + reports.last();
        return nullptr;
    }
    return static_cast<GSobject *>(geometry);
}

} // namespace kivrender
