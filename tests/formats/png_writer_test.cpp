// The PNG writer plug-in: loaded with dl_open, used through the still writer registry, and its
// files read back with libpng.
#include <kivctrl/kivctrl.h>

#include "support/bus_recorder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string plugin = std::string(KIV_PNG_PLUGIN_DIR) + "/qel_png";

// The file's pixels as RGBA, top row first; empty when libpng cannot read it.
std::vector<std::uint8_t> read_png(const std::string &file, int &width, int &height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str()))
        return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return {};
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

class PngPlugin : public ::testing::Test {
protected:
    void SetUp() override
    {
        library_ = dl_open(plugin.c_str(), "dll_init", nullptr);
        ASSERT_NE(library_, nullptr);
        factory_ = still_writer_get_factory("Portable Network Graphics");
        ASSERT_NE(factory_, nullptr);
    }
    void TearDown() override
    {
        if (library_)
            dl_close(library_);
        EXPECT_EQ(still_writer_count(), 0);
    }
    std::unique_ptr<GSimageWriter> writer(const std::string &file)
    {
        GSimageParams params(file.c_str());
        return std::unique_ptr<GSimageWriter>(factory_->create(params));
    }

    void *library_ = nullptr;
    GSimageWriterFactory *factory_ = nullptr;
    const fs::path dir_ = fs::temp_directory_path();
};

TEST_F(PngPlugin, RegistersAsStillWriter)
{
    EXPECT_STREQ(factory_->suffix(), "png");
    EXPECT_EQ(still_writer_count(), 1);
    EXPECT_EQ(movie_writer_count(), 0);
}

TEST_F(PngPlugin, WrittenPixelsReadBackWithLibpng)
{
    struct Case {
        int depth;
        int channels;  // bytes per pixel in the bitmap
    } cases[] = {{32, 4}, {24, 3}, {16, 2}, {8, 1}};
    for (const Case &c : cases) {
        GSbitmap b(5, 3, c.depth);
        for (std::size_t i = 0; i < b.size(); ++i)
            b.bitmap()[i] = static_cast<std::uint8_t>(i * 7 + 1);
        const std::string file = (dir_ / ("kiv_png_" + std::to_string(c.depth) + ".png")).string();
        ASSERT_TRUE(writer(file)->write(&b)) << c.depth;
        int width = 0, height = 0;
        const auto pixels = read_png(file, width, height);
        ASSERT_EQ(width, 5);
        ASSERT_EQ(height, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const std::uint8_t *ours = b.row(y) + x * c.channels;
                const std::uint8_t *theirs = &pixels[((2 - y) * 5 + x) * 4];
                const bool grey = c.channels <= 2;
                for (int k = 0; k < 3; ++k)
                    EXPECT_EQ(theirs[k], ours[grey ? 0 : k]) << c.depth << " " << x << "," << y;
                const int alpha = c.channels == 4 ? ours[3] : c.channels == 2 ? ours[1] : 255;
                EXPECT_EQ(theirs[3], alpha) << c.depth;
            }
    }
}

TEST_F(PngPlugin, OneBitBitmap)
{
    GSbitmap b(10, 2, 1);
    b.bitmap()[0] = 0xA0;  // bottom row: pixels 0 and 2 set
    const std::string file = (dir_ / "kiv_png_1.png").string();
    ASSERT_TRUE(writer(file)->write(&b));
    int width = 0, height = 0;
    const auto pixels = read_png(file, width, height);
    ASSERT_EQ(width, 10);
    const std::uint8_t *bottom = &pixels[10 * 4];
    EXPECT_EQ(bottom[0], 255);
    EXPECT_EQ(bottom[4], 0);
    EXPECT_EQ(bottom[8], 255);
    EXPECT_EQ(pixels[0], 0);
}

TEST_F(PngPlugin, FailuresAreReportedAndLeaveNoFile)
{
    kivtest::BusRecorder errors(MSG_ERROR);
    GSbitmap odd(4, 4, 4);
    GSbitmap fine(4, 4, 24);
    const std::string file = (dir_ / "kiv_png_fail.png").string();
    fs::remove(file);
    EXPECT_FALSE(writer(file)->write(nullptr));
    EXPECT_FALSE(writer(file)->write(&odd));
    auto w = writer((dir_ / "no-such-dir" / "x.png").string());
    EXPECT_FALSE(w->write(&fine));
    EXPECT_TRUE(w->error());
    EXPECT_EQ(errors.count(MSG_ERROR), 3);
    EXPECT_FALSE(fs::exists(file));
}

} // namespace
