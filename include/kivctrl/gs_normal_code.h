// The 16-bit normal code: unit normals quantised to a table of 65 536 directions.
//
// Code 0 means no normal; 1 is (0, 1, 0); 2 is (0, -1, 0) (3-255 repeat it and are never
// produced); 256·b + d for b in 1-255 and d in 0-255 is (sin t cos f, cos t, sin t sin f)
// with t = b·π/256 and f = d·2π/256.
#pragma once

#include <cstdint>

// The table vector of a code (0, 0, 0 for code 0).
const float *GSnormal_decode(uint16_t code);
// The code of the table direction nearest in angles to n (any non-zero length); a zero or
// non-finite n has no direction and gives 0.
uint16_t GSnormal_encode(const float n[3]);
