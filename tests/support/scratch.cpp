#include "support/scratch.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kivtest {

ScratchDir::ScratchDir(const std::string &name)
    : path_(std::string(KIV_BINARY_DIR) + "/scratch/" + name + "-" + std::to_string(getpid()))
{
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void write_file(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace kivtest
