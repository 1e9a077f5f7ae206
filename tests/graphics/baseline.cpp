#include "baseline.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace kivtest {

namespace {

std::string baseline_path(const std::string &name)
{
    return std::string(KIV_SOURCE_DIR) + "/tests/graphics/baselines/" + name + ".png";
}

// RGB rows, top-down.
bool read_png(const std::string &path, int &w, int &h, std::vector<unsigned char> &rgb)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    w = int(image.width);
    h = int(image.height);
    rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
}

std::vector<unsigned char> surface_rgb(const kiv::platform::GlSurface &s)
{
    std::vector<unsigned char> rgb;
    rgb.reserve(size_t(s.width()) * s.height() * 3);
    for (std::uint32_t p : s.pixels()) {
        rgb.push_back(static_cast<unsigned char>(p >> 16));
        rgb.push_back(static_cast<unsigned char>(p >> 8));
        rgb.push_back(static_cast<unsigned char>(p));
    }
    return rgb;
}

bool write_png(const std::string &path, int w, int h, const std::vector<unsigned char> &rgb)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = unsigned(w);
    image.height = unsigned(h);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

} // namespace

void expect_baseline(const kiv::platform::GlSurface &surface, const std::string &name,
                     int max_diff, double mean_diff)
{
    const std::string path = baseline_path(name);
    const std::vector<unsigned char> actual = surface_rgb(surface);
    int w = 0, h = 0;
    std::vector<unsigned char> expected;
    if (!read_png(path, w, h, expected)) {
        // Written to the build tree, never the sources: a baseline is committed only after
        // someone has looked at it.
        const std::filesystem::path fresh = std::filesystem::path(KIV_BINARY_DIR) / "baselines";
        std::error_code ec;
        std::filesystem::create_directories(fresh, ec);
        const std::string written = (fresh / (name + ".png")).string();
        if (write_png(written, surface.width(), surface.height(), actual))
            ADD_FAILURE() << "no baseline " << path << ": this run's picture is " << written
                          << "; review it and copy it there";
        else
            ADD_FAILURE() << "no baseline " << path << " and cannot write " << written;
        return;
    }
    ASSERT_EQ(w, surface.width()) << name;
    ASSERT_EQ(h, surface.height()) << name;
    int worst = 0;
    double total = 0;
    for (size_t i = 0; i < actual.size(); ++i) {
        const int d = std::abs(int(actual[i]) - int(expected[i]));
        worst = std::max(worst, d);
        total += d;
    }
    const double mean = total / double(actual.size());
    EXPECT_LE(worst, max_diff) << name << ": largest channel difference";
    EXPECT_LE(mean, mean_diff) << name << ": mean channel difference";
    if (worst > max_diff || mean > mean_diff)
        write_png(std::string(KIV_BINARY_DIR) + "/" + name + ".actual.png", surface.width(),
                  surface.height(), actual);
}

} // namespace kivtest
