// Running kivrender from tests and reading the pictures it writes.
#pragma once

#include "support/scratch.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kivtest::render {

struct Outcome {
    int status;
    std::string out, err;
};

// Runs kivrender with the arguments (each quoted for the shell) in dir.
Outcome run(const ScratchDir &dir, const std::vector<std::string> &args);

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // top row first
    const unsigned char *at(int x, int y) const { return &rgb[3 * (std::size_t(y) * width + x)]; }
};

// Empty (zero size) when the file cannot be read as PNG.
Picture read_png(const std::string &file);

// The colour kivrender clears to.
constexpr unsigned char kBackground[3] = {60, 68, 82};
bool is_background(const Picture &p, int x, int y);

// The part's extent on the picture, in pixels.
struct Box {
    int x0, y0, x1, y1;
    double aspect() const { return double(x1 - x0 + 1) / (y1 - y0 + 1); }
};

// Checks the framing of a part: background in the corners, the silhouette within the margin
// (5% of each half side) everywhere and reaching it on at least one axis. Returns the
// silhouette's box.
Box check_margins(const Picture &p, const std::string &what);
// The same, and the part covers the centre of the picture.
Box check_framed(const Picture &p, const std::string &what);

} // namespace kivtest::render
