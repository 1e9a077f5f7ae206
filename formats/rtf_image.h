// Rich text as a note picture: 1 bit per pixel, set bits are ink.
#pragma once

#include "formats/rtf_document.h"

#include <kivctrl/gs_bitmap.h>

#include <memory>
#include <string_view>

namespace kiv::formats {

// The width text is laid out in, in pixels.
constexpr int kRtfWidth = 288;

// The document laid out in width pixels, wrapping at words (or characters in overlong words)
// at 96 dots per inch without anti-aliasing; as high as the text (at most 4096 rows) and as
// wide as the ink of its widest line. Null when nothing can be made.
std::unique_ptr<GSbitmap> rtf_render(const RtfDocument &doc, int width = kRtfWidth);
// rtf_parse, then rtf_render; null for bytes that are no RTF.
std::unique_ptr<GSbitmap> rtf_image(std::string_view bytes, int width = kRtfWidth);

} // namespace kiv::formats
