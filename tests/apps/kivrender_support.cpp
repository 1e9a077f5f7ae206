// Running kivrender from tests and reading the pictures it writes.
#include "apps/kivrender_support.h"

#include <gtest/gtest.h>
#include <png.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>

namespace kivtest::render {

// Runs kivrender with the arguments (each quoted for the shell) in dir.
Outcome run(const ScratchDir &dir, const std::vector<std::string> &args)
{
    // Under the leak checker the child would list the suppressions it used on stderr.
    std::string command = "cd '" + dir.path() + "' && LSAN_OPTIONS=\"$LSAN_OPTIONS:print_suppressions=0\" '" KIVRENDER "'";
    for (const std::string &a : args)
        command += " '" + a + "'";
    command += " >'" + dir.file("out.txt") + "' 2>'" + dir.file("err.txt") + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, kivtest::read_file(dir.file("out.txt")),
            kivtest::read_file(dir.file("err.txt"))};
}

Picture read_png(const std::string &file)
{
    Picture p;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str()))
        return p;
    image.format = PNG_FORMAT_RGB;
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr))
        return {};
    p.width = int(image.width);
    p.height = int(image.height);
    return p;
}

bool is_background(const Picture &p, int x, int y)
{
    return std::equal(kBackground, kBackground + 3, p.at(x, y));
}

Box check_margins(const Picture &p, const std::string &what)
{
    const int w = p.width, h = p.height;
    for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
        EXPECT_TRUE(is_background(p, x, y)) << what << ": corner " << x << "," << y;
    Box box{w, h, -1, -1};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!is_background(p, x, y))
                box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
    const int left = box.x0, right = w - 1 - box.x1, top = box.y0, bottom = h - 1 - box.y1;
    const int margin_x = w / 40, margin_y = h / 40;
    EXPECT_GE(std::min(left, right), margin_x - 3) << what << ": nothing crosses the margin";
    EXPECT_GE(std::min(top, bottom), margin_y - 3) << what << ": nothing crosses the margin";
    const bool across = std::min(left, right) <= margin_x + 2, upright = std::min(top, bottom) <= margin_y + 2;
    EXPECT_TRUE(across || upright) << what << ": gaps " << left << " " << right << " " << top << " " << bottom;
    return box;
}

Box check_framed(const Picture &p, const std::string &what)
{
    const int w = p.width, h = p.height;
    int central = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            central += !is_background(p, x, y) && std::abs(x - w / 2) < w / 10 && std::abs(y - h / 2) < h / 10;
    EXPECT_GT(central, (w / 5) * (h / 5) / 2) << what << ": the part covers the centre";
    return check_margins(p, what);
}

} // namespace kivtest::render
