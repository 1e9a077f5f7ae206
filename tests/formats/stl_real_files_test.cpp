// The facet loaders on public STL files under KIV_TESTDATA_DIR/real/stl: every good file is
// read, through the registry, with as many triangles as assimp finds in it (or as counted by
// hand where assimp misreads it), every broken one is refused.
#include <kivctrl/kivctrl.h>
#include <kivctrl/loader.h>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path root = fs::path(KIV_TESTDATA_DIR) / "real" / "stl";

// Files assimp does not count right: it reads STL keywords in lower case only.
const std::map<std::string, int> counted_by_hand = {
    {"admesh/block_uppercase.stl", 12},   // all upper case: assimp refuses it
    {"numpy-stl/ascii_HalfDonut.stl", 288},  // 864 vertices; assimp skips the upper-case facet
};

int assimp_triangles(const fs::path &file)
{
    Assimp::Importer importer;
    const aiScene *scene = importer.ReadFile(file.string(), 0);
    if (!scene) return -1;
    int n = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) n += static_cast<int>(scene->mMeshes[m]->mNumFaces);
    return n;
}

struct Loaded {
    int result = 0;
    std::string factory;
    int triangles = -1;
};

Loaded load(const fs::path &file)
{
    Loaded out;
    void *geometry = nullptr;
    int index = 0;
    out.result = loader_invoke(nullptr, nullptr, file.c_str(), nullptr, &geometry, &index);
    if (geometry) {
        auto *obj = static_cast<GSobject *>(geometry);
        out.triangles = GSobject_npolys(obj);
        GSobject_delete(obj);
    }
    if (index > 0) out.factory = loader_get_factory(index)->name();
    return out;
}

// Whether the facet count in the header matches the size.
bool binary_stl(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    unsigned char header[84] = {};
    if (!in.read(reinterpret_cast<char *>(header), 84)) return false;
    const uint64_t count = header[80] | header[81] << 8 | header[82] << 16 | uint64_t(header[83]) << 24;
    return fs::file_size(file) == 84 + 50 * count;
}

std::vector<fs::path> files_in(const fs::path &dir)
{
    std::vector<fs::path> out;
    for (const auto &e : fs::directory_iterator(dir))
        if (e.is_regular_file()) out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(StlRealFiles, GoodFilesHaveTheirTriangles)
{
    if (!fs::is_directory(root)) GTEST_SKIP() << root << " is absent";
    int checked = 0;
    for (const char *folder : {"assimp", "numpy-stl", "openscad", "admesh"})
        for (const fs::path &file : files_in(root / folder)) {
            const std::string name = fs::relative(file, root).string();
            const auto hand = counted_by_hand.find(name);
            const int expect = hand != counted_by_hand.end() ? hand->second : assimp_triangles(file);
            ASSERT_GE(expect, 0) << name;
            const Loaded got = load(file);
            EXPECT_EQ(got.result, LOADER_GEOMETRY) << name;
            EXPECT_EQ(got.triangles, expect) << name;
            EXPECT_EQ(got.factory, binary_stl(file) ? "Stereolithography (binary)" : "Pro/E Render File") << name;
            ++checked;
        }
    EXPECT_EQ(checked, 26);
}

TEST(StlRealFiles, BrokenFilesAreRefused)
{
    if (!fs::is_directory(root)) GTEST_SKIP() << root << " is absent";
    int checked = 0;
    for (const char *folder : {"openscad/bad", "derived-bad"})
        for (const fs::path &file : files_in(root / folder)) {
            const Loaded got = load(file);
            EXPECT_EQ(got.result, 0) << file;
            EXPECT_EQ(got.triangles, -1) << file;
            ++checked;
        }
    EXPECT_EQ(checked, 7);
}

}  // namespace
