// UTF-8 <-> UTF-16 conversion shared by the string and path functions.
#pragma once

#include <string>
#include <string_view>

namespace kiv {

// Ill-formed sequences become one U+FFFD per maximal ill-formed subpart, so the result has
// at most as many units as the input has bytes.
std::u16string utf8_to_utf16(std::string_view in);

// Lone surrogates become U+FFFD.
std::string utf16_to_utf8(std::u16string_view in);

// Bytes of the UTF-8 sequence starting with lead byte b (1 for a continuation or bad byte).
int utf8_sequence_length(unsigned char b);

} // namespace kiv
