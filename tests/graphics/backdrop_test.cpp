#include "baseline.h"
#include "render_fixture.h"

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

TEST_F(UniverseTest, BackdropBaselines)
{
    for (const BackdropCase &c : kCases) {
        const std::vector<unsigned char> image = card(c.width, c.height);
        ASSERT_TRUE(GSuniverse_setbackdropimage(c.width, c.height, image.data()));
        GSuniverse_setbackdroptile(c.tile);
        GSuniverse_setbackdrophorizjustify(c.horiz);
        GSuniverse_setbackdropvertjustify(c.vert);
        frames_until_idle();
        kivtest::expect_baseline(*surface, c.baseline, 2, 0.05);
    }
}

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

} // namespace
