// Reference decodes from ImageMagick's `convert`, an independent reader, for pixel checks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kiv::test {

struct Rgb8 {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // top row first, red, green, blue
};

inline bool have_convert()
{
    return std::system("convert -version >/dev/null 2>&1") == 0;
}

// The first page of file as 8-bit RGB (alpha dropped, CMYK turned into sRGB); empty when
// convert cannot read it.
// options go before the conversion (e.g. "-auto-orient" for Targa, whose origin convert
// keeps only as a tag).
inline Rgb8 reference_rgb(const std::string &file, const std::string &options = "")
{
    Rgb8 out;
    const std::string command = "convert '" + file + "[0]' " + options +
                                " -strip -colorspace sRGB -alpha off -depth 8 ppm:- 2>/dev/null";
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    int maxval = 0;
    if (std::fscanf(pipe, "P6 %d %d %d", &out.width, &out.height, &maxval) == 3 &&
        maxval == 255 && std::fgetc(pipe) != EOF) {
        out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 3);
        if (std::fread(out.pixels.data(), 1, out.pixels.size(), pipe) != out.pixels.size())
            out.pixels.clear();
    }
    pclose(pipe);
    return out;
}

} // namespace kiv::test
