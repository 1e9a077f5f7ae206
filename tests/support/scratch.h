// Scratch directories and whole-file helpers for tests.
#pragma once

#include <string>

namespace kivtest {

// A fresh directory under the build tree, removed with everything in it at destruction.
class ScratchDir {
public:
    explicit ScratchDir(const std::string &name);
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void write_file(const std::string &path, const std::string &bytes);
std::string read_file(const std::string &path);

} // namespace kivtest
