// Small helpers shared by the stream tests: scratch directories and memory files.
#pragma once

#include <kivctrl/qel_stream.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace streams_test {

// A directory under the temporary directory, removed with its contents at the end.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kivstreamsXXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string &name) const { return (path_ / name).string(); }
    const std::filesystem::path &path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void write_file(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A memory-file name no other test uses.
inline std::string fresh_mem_name(const std::string &stem)
{
    static int serial = 0;
    return "MEM:" + stem + std::to_string(++serial);
}

// A reader over a new memory file holding bytes.
inline std::unique_ptr<QelFileReader> mem_reader(const std::string &bytes)
{
    std::string name = fresh_mem_name("text");
    {
        std::unique_ptr<QelFileWriter> w(QelCreateWriterInstance(name.c_str(), QEL_STREAM_BINARY));
        w->writeb(bytes.data(), bytes.size());
    }
    return std::unique_ptr<QelFileReader>(QelCreateReaderInstance(name.c_str(), QEL_STREAM_BINARY));
}

// Everything left in r.
inline std::string drain(QelFileReader &r)
{
    std::string out;
    for (int c = r.readch(); c >= 0; c = r.readch())
        out += static_cast<char>(c);
    return out;
}

} // namespace streams_test
