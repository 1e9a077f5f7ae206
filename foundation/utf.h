// UTF-8 <-> UTF-16 conversion behind qel_wide, qel_narrow and the wide process utilities.
#pragma once

#include <cstddef>

namespace kiv {

// Converts n bytes of UTF-8 into out, which must hold n units; returns the units written.
// Ill-formed sequences become one U+FFFD per maximal ill-formed subpart, so the result
// never has more units than the input has bytes.
std::size_t utf8_to_utf16(const char *in, std::size_t n, unsigned short *out);

// Converts n UTF-16 units into out, which must hold 3 * n bytes; returns the bytes written.
// Lone surrogates become U+FFFD.
std::size_t utf16_to_utf8(const unsigned short *in, std::size_t n, char *out);

// Bytes of the UTF-8 sequence starting with lead byte b (1 for a continuation or bad byte).
int utf8_sequence_length(unsigned char b);

} // namespace kiv
