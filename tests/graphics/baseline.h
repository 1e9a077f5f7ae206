// Comparing a rendered surface with a committed baseline image.
#pragma once

#include "platform/gl_surface.h"

#include <string>

namespace kivtest {

// Compares the surface with tests/graphics/baselines/<name>.png, channel by channel:
// fails when any difference exceeds max_diff or the mean difference exceeds mean_diff
// (both in 0-255 units). A missing baseline fails and the surface is written to
// <build>/baselines/<name>.png, so a new render test is added by running it once, looking at
// that picture and copying it into tests/graphics/baselines.
void expect_baseline(const kiv::platform::GlSurface &surface, const std::string &name,
                     int max_diff, double mean_diff);

} // namespace kivtest
