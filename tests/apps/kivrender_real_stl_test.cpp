// kivrender over the public STL files under KIV_TESTDATA_DIR/real/stl: every good file is
// drawn small in the iso and front views, framed by the framing rule, and matches its
// reviewed picture in tests/apps/baselines/real_stl; closed solids show shading.
#include "apps/kivrender_support.h"
#include "support/scratch.h"

#include <kivctrl/kivctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace kivtest::render;

const fs::path kRoot = fs::path(KIV_TESTDATA_DIR) / "real" / "stl";
const fs::path kBaselines = fs::path(KIV_SOURCE_DIR) / "tests" / "apps" / "baselines" / "real_stl";
constexpr int kWidth = 128, kHeight = 96;

// Thresholds against the baselines. Shading may come out a few levels apart between Mesa
// builds (their lighting and rounding paths differ), so a pixel counts as changed only past
// 16 levels in some channel. Rasterisers may also move silhouette pixels by one: up to 1%
// of the picture (about a third of a typical outline) may change. The mean difference of
// 1.5 levels is exceeded by a flat or wrongly lit part, a missing or extra facet region or
// framing off by a few pixels, none of which a Mesa update brings.
constexpr int kChangedLevel = 16;
constexpr double kChangedShare = 0.01;
constexpr double kMeanLevel = 1.5;

// A lit solid seen from the iso view shows faces of at least three directions; tones are
// told apart in steps of 8 levels and count when they cover 1% of the part.
constexpr int kToneStep = 8;
constexpr double kToneShare = 0.01;
constexpr int kMinTones = 3;

// The good files: those of the folders of readable files.
std::vector<std::string> good_files()
{
    std::vector<std::string> out;
    for (const char *folder : {"admesh", "assimp", "numpy-stl", "openscad"}) {
        std::error_code ec;
        for (const auto &e : fs::directory_iterator(kRoot / folder, ec))
            if (e.is_regular_file()) out.push_back(fs::relative(e.path(), kRoot).string());
    }
    std::sort(out.begin(), out.end());
    if (out.empty()) out.push_back("");  // one case that skips
    return out;
}

std::string test_name(const std::string &file)
{
    std::string name = file.empty() ? "absent" : file;
    for (char &c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

struct Shape {
    int triangles = 0;
    bool closed = false;  // every edge, by the positions of its ends, is shared by exactly two triangles
};

Shape shape_of(const fs::path &file)
{
    Shape out;
    void *geometry = nullptr;
    if (loader_invoke(nullptr, nullptr, file.c_str(), nullptr, &geometry, nullptr) != 2 || !geometry) return out;
    auto *obj = static_cast<GSobject *>(geometry);
    using Point = std::array<float, 3>;
    std::map<std::pair<Point, Point>, int> edges;
    GSpolygon p;
    for (bool more = GSobject_firstpoly(obj, p); more; more = GSpolygon_nextpoly(p, p)) {
        ++out.triangles;
        const int n = GSpolygon_nvertices(p);
        std::vector<Point> corners(static_cast<size_t>(n));
        for (int c = 0; c < n; ++c) {
            GSvertex v = GSpolygon_getvertex(p, c);
            GSvertex_getposition(&v, corners[size_t(c)].data(), GS_FRAME_LOCAL);
        }
        for (int c = 0; c < n; ++c) {
            Point a = corners[size_t(c)], b = corners[size_t((c + 1) % n)];
            if (b < a) std::swap(a, b);
            ++edges[{a, b}];
        }
    }
    GSobject_delete(obj);
    out.closed = !edges.empty() && std::all_of(edges.begin(), edges.end(), [](const auto &e) { return e.second == 2; });
    return out;
}

bool drawn(const Picture &p)
{
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (!is_background(p, x, y)) return true;
    return false;
}

// Tones of the part's pixels (kivrender draws parts without colours of their own in white,
// so the red channel is the tone).
int tones(const Picture &p)
{
    std::map<int, int> bins;
    int part = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (!is_background(p, x, y)) {
                ++bins[p.at(x, y)[0] / kToneStep];
                ++part;
            }
    return static_cast<int>(std::count_if(bins.begin(), bins.end(),
                                          [part](const auto &b) { return b.second >= kToneShare * part; }));
}

// Compares with the baseline. A missing baseline fails and this picture is copied to the
// build tree, so that it can be looked at before it is committed to kBaselines.
void expect_baseline(const std::string &picture, const std::string &name)
{
    const fs::path baseline = kBaselines / (name + ".png");
    if (!fs::exists(baseline)) {
        const fs::path fresh = fs::path(KIV_BINARY_DIR) / "baselines" / "real_stl";
        fs::create_directories(fresh);
        fs::copy_file(picture, fresh / (name + ".png"), fs::copy_options::overwrite_existing);
        ADD_FAILURE() << "no baseline " << baseline << ": this run's picture is "
                      << fresh / (name + ".png") << "; review it and copy it there";
        return;
    }
    const Picture got = read_png(picture), want = read_png(baseline.string());
    ASSERT_EQ(got.width, want.width) << name;
    ASSERT_EQ(got.height, want.height) << name;
    int changed = 0;
    double total = 0;
    for (size_t i = 0; i < got.rgb.size(); i += 3) {
        int worst = 0;
        for (size_t k = 0; k < 3; ++k) {
            const int d = std::abs(int(got.rgb[i + k]) - int(want.rgb[i + k]));
            worst = std::max(worst, d);
            total += d;
        }
        changed += worst > kChangedLevel;
    }
    const double pixels = double(got.rgb.size() / 3);
    const bool same = changed <= kChangedShare * pixels && total / (3 * pixels) <= kMeanLevel;
    EXPECT_LE(changed, kChangedShare * pixels) << name << ": pixels changed";
    EXPECT_LE(total / (3 * pixels), kMeanLevel) << name << ": mean channel difference";
    if (!same) fs::copy_file(picture, fs::path(KIV_BINARY_DIR) / (name + ".actual.png"), fs::copy_options::overwrite_existing);
}

class RealStlPictures : public testing::TestWithParam<std::string> {};

TEST_P(RealStlPictures, FramedShadedAndAsReviewed)
{
    if (GetParam().empty()) GTEST_SKIP() << kRoot << " is absent";
    const fs::path file = kRoot / GetParam();
    const Shape shape = shape_of(file);
    kivtest::ScratchDir dir("kivrender_real_" + test_name(GetParam()));
    for (const std::string view : {"iso", "front"}) {
        const std::string what = GetParam() + " " + view, out = view + ".png";
        const Outcome r = run(dir, {"--size", std::to_string(kWidth) + "x" + std::to_string(kHeight), "--view", view,
                                    "-o", out, file.string()});
        if (shape.triangles == 0) {
            EXPECT_EQ(r.status, 1) << what;
            EXPECT_NE(r.err.find("holds no geometry to draw"), std::string::npos) << what << ": " << r.err;
            continue;
        }
        ASSERT_EQ(r.status, 0) << what << ": " << r.err;
        const Picture p = read_png(dir.file(out));
        ASSERT_EQ(p.width, kWidth) << what;
        // A flat part seen edge on shows nothing; its baseline holds that.
        if (drawn(p)) check_margins(p, what);
        if (shape.closed && view == "iso") {
            EXPECT_GE(tones(p), kMinTones) << what << ": a closed solid shows shading";
        }
        expect_baseline(dir.file(out), test_name(GetParam()) + "_" + view);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, RealStlPictures, testing::ValuesIn(good_files()),
                         [](const testing::TestParamInfo<std::string> &info) { return test_name(info.param); });

} // namespace
