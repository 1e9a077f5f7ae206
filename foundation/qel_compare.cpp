// Tolerant comparison of points and orientations.
#include <kivctrl/qel_math.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kTolerance = 0.00001;  // on squared distances
}

int GSp3_equal(float *a, float *b)
{
    double d2 = 0.0;
    for (int i = 0; i < 3; ++i) d2 += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    return d2 < kTolerance;
}

int GSq_equal(float *a, float *b)
{
    // Compare against both signs of b: standardising alone would keep q and -q apart when
    // w is (nearly) zero.
    double same = 0.0, opposite = 0.0;
    for (int i = 0; i < 4; ++i) {
        same += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
        opposite += (double(a[i]) + b[i]) * (double(a[i]) + b[i]);
    }
    return std::min(same, opposite) < kTolerance;
}
