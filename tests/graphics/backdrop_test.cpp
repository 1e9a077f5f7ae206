#include "baseline.h"
#include "render_fixture.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

using kivtest::UniverseTest;

// A 24 x 16 test card: a colour gradient with a dark frame, so cropping and tiling show.
std::vector<unsigned char> card(int w, int h)
{
    std::vector<unsigned char> rgba;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool frame = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            rgba.push_back(frame ? 20 : static_cast<unsigned char>(x * 255 / (w - 1)));
            rgba.push_back(frame ? 20 : static_cast<unsigned char>(y * 255 / (h - 1)));
            rgba.push_back(frame ? 20 : 160);
            rgba.push_back(255);
        }
    }
    return rgba;
}

struct BackdropCase {
    const char *baseline;
    bool tile;
    int width, height, horiz, vert;
};

// One line per case. Pixel zoom and raster positions are exact in Mesa, so baselines match
// to the bit; max 2 and mean 0.05 leave room only for a rounding change in the zoom.
const BackdropCase kCases[] = {
    {"backdrop_tiled", true, 24, 16, 0, 0},
    {"backdrop_wide_centred", false, 96, 24, 0, 0},
    {"backdrop_wide_right", false, 96, 24, 1, 0},
    {"backdrop_tall_top", false, 16, 48, 0, 1},
    {"backdrop_tall_bottom", false, 16, 48, 0, -1},
};

// Names the row in test listings instead of dumping its bytes.
void PrintTo(const BackdropCase &c, std::ostream *os)
{
    *os << c.baseline;
}

class BackdropBaselines : public UniverseTest, public testing::WithParamInterface<BackdropCase> {};

TEST_P(BackdropBaselines, MatchTheReviewedPicture)
{
    const BackdropCase &c = GetParam();
    const std::vector<unsigned char> image = card(c.width, c.height);
    ASSERT_TRUE(GSuniverse_setbackdropimage(c.width, c.height, image.data()));
    GSuniverse_setbackdroptile(c.tile);
    GSuniverse_setbackdrophorizjustify(c.horiz);
    GSuniverse_setbackdropvertjustify(c.vert);
    frames_until_idle();
    kivtest::expect_baseline(*surface, c.baseline, 2, 0.05);
}

INSTANTIATE_TEST_SUITE_P(Cases, BackdropBaselines, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<BackdropCase> &info) {
                             return std::string(info.param.baseline);
                         });

TEST_F(UniverseTest, BackdropInactiveOrUnreadableLeavesTheBackground)
{
    const std::vector<unsigned char> image = card(4, 4);
    ASSERT_TRUE(GSuniverse_setbackdropimage(4, 4, image.data()));
    GSuniverse_setbackdropactive(false);
    frames_until_idle();
    EXPECT_EQ(at(32, 24).r, 192);
    GSuniverse_setbackdropactive(true);
    EXPECT_FALSE(GSuniverse_setbackdrop("/nonexistent/backdrop.bmp"));
    frames_until_idle();
    EXPECT_EQ(at(32, 24).r, 192);
    EXPECT_EQ(at(32, 24).b, 192);
}

TEST_F(UniverseTest, BackdropIsReadFromAnImageFile)
{
    // A 2 x 1 24-bit Windows bitmap: blue-green-red pixels, rows padded to 4 bytes.
    const unsigned char bmp[] = {
        'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,               // file header
        40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, // info header
        8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 255, 255, 0, 0, 0, 0,                                   // red, blue, padding
    };
    const std::string path = std::string(KIV_BINARY_DIR) + "/backdrop_test.bmp";
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(bmp, 1, sizeof bmp, f);
    std::fclose(f);
    ASSERT_TRUE(GSuniverse_setbackdrop(path.c_str()));
    frames_until_idle();
    EXPECT_EQ(at(0, 24).r, 255) << "left half red";
    EXPECT_EQ(at(kWidth - 1, 24).b, 255) << "right half blue";
    EXPECT_FALSE(GSuniverse_setbackdrop(""));
    std::remove(path.c_str());
}

} // namespace
