// GSimageSaver: every picture a surface announces reaches the writer once; with the PNG
// plug-in the files hold exactly the surface's pixels.
#include "control/surface_fixture.h"
#include "support/bus_recorder.h"

#include <png.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using kivtest::kBlue;
using kivtest::kRed;
using kivtest::Rgb;
using kivtest::rgb;

// A writer that remembers what it was given, and can be told to fail.
class ProbeWriter : public GSimageWriter {
public:
    ProbeWriter(int *deleted, bool fail = false) : GSimageWriter(GSimageParams("probe")), deleted_(deleted), fail_(fail) {}
    ~ProbeWriter() override { ++*deleted_; }
    int write(const GSbitmap *b) override
    {
        sizes.push_back(b->width() * 10000 + b->height());
        return fail_ ? 0 : 1;
    }
    std::vector<int> sizes;

private:
    int *deleted_;
    bool fail_;
};

// The PNG's pixels, top row first; empty when libpng cannot read it.
std::vector<Rgb> read_png(const std::string &file, int &width, int &height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str()))
        return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr))
        return {};
    width = int(image.width);
    height = int(image.height);
    std::vector<Rgb> pixels;
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3)
        pixels.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
    return pixels;
}

using ImageSaver = kivtest::SurfaceScene;

TEST_F(ImageSaver, WritesOnePngPerNotifyWithTheSurfacesPixels)
{
    void *library = dl_open((std::string(KIV_PNG_PLUGIN_DIR) + "/qel_png").c_str(), "dll_init", nullptr);
    ASSERT_NE(library, nullptr);
    GSimageWriterFactory *factory = still_writer_get_factory("Portable Network Graphics");
    ASSERT_NE(factory, nullptr);
    const std::string file = (fs::temp_directory_path() / ("kiv_saver_" + std::to_string(::getpid()) + ".png")).string();
    {
        GSbitmapDisplaySurface surface(0, kWidth, kHeight, 24);
        GSimageParams params(file.c_str());
        GSimageSaver saver(factory->create(params), &surface);
        for (int frame = 0; frame < 2; ++frame) {
            if (frame == 1)
                GSuniverse_setbgcolor(0, 1, 0);
            surface.draw();
            EXPECT_EQ(saver.frames(), frame + 1);
            int width = 0, height = 0;
            const std::vector<Rgb> png = read_png(file, width, height);
            ASSERT_EQ(width, kWidth);
            ASSERT_EQ(height, kHeight);
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    ASSERT_EQ(png[y * kWidth + x], rgb(surface.pixel(x, y))) << frame << ": " << x << "," << y;
            EXPECT_EQ(png[kSquareY * kWidth + kSquareX], kRed);
            EXPECT_EQ(png[0], frame == 0 ? kBlue : (Rgb{0, 255, 0}));
        }
    }
    fs::remove(file);
    dl_close(library);
}

TEST_F(ImageSaver, OwnsItsWriterAndListensUntilDestroyed)
{
    int deleted = 0;
    GSbitmapDisplaySurface surface(0, 16, 8, 24);
    auto *writer = new ProbeWriter(&deleted);
    {
        GSimageSaver saver(writer, &surface);
        EXPECT_EQ(saver.writer(), writer);
        surface.draw();
        surface.resize(8, 4, 24);
        surface.render();  // rendering alone tells nobody
        EXPECT_EQ(writer->sizes, (std::vector<int>{160008, 80004}));
        EXPECT_EQ(saver.frames(), 2);
        EXPECT_EQ(saver.error(), 0);
    }
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(surface.listener_count(), 0);
    surface.draw();
}

TEST_F(ImageSaver, FailuresAreKeptAndReported)
{
    kivtest::BusRecorder errors(MSG_ERROR);
    int deleted = 0;
    {
        GSbitmapDisplaySurface surface(0, 16, 8, 24);
        GSimageSaver failing(new ProbeWriter(&deleted, true), &surface);
        surface.draw();
        EXPECT_EQ(failing.error(), 1);
        EXPECT_EQ(failing.frames(), 0);
    }
    {
        GSbitmapDisplaySurface broken(0, 16, 8, 16);
        GSimageSaver saver(new ProbeWriter(&deleted), &broken);
        broken.draw();
        EXPECT_EQ(saver.error(), 1);
        EXPECT_EQ(static_cast<ProbeWriter *>(saver.writer())->sizes.size(), 0u);
        EXPECT_EQ(errors.count(MSG_ERROR), 1) << "no picture to write";
    }
    EXPECT_EQ(deleted, 2);

    GSbitmapDisplaySurface surface(0, 16, 8, 24);
    GSimageSaver no_writer(nullptr, &surface);
    surface.draw();
    EXPECT_EQ(no_writer.error(), 1);
    GSimageSaver no_surface(new ProbeWriter(&deleted), nullptr);
    EXPECT_EQ(no_surface.surface(), nullptr);
}

TEST_F(ImageSaver, OutlivesItsSurface)
{
    int deleted = 0;
    auto surface = std::make_unique<GSbitmapDisplaySurface>(0, 16, 8, 24);
    GSimageSaver saver(new ProbeWriter(&deleted), surface.get());
    surface.reset();
    EXPECT_EQ(saver.surface(), nullptr);
}

} // namespace
