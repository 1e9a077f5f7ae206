// Rich Text Format read into plain text with character formats, for laying out as a picture.
//
// The reader knows groups, the font table, code pages (\ansicpg, font charsets) for \'hh,
// \uN with \ucN replacement skipping, character formats (\f, \fs, \b, \i, \ul, \strike,
// \plain), paragraph and line breaks and tabs. Pictures, objects, binary data and every
// other destination are skipped; unknown control words are ignored.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv::formats {

struct RtfFormat {
    std::string font;    // family name; empty: the default face
    double size = 16.0;  // pixels at 96 dots per inch
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;

    bool operator==(const RtfFormat &) const = default;
};

// One run of text in one format: bytes [begin, end) of the document's UTF-8 text.
struct RtfSpan {
    std::size_t begin;
    std::size_t end;
    RtfFormat format;
};

struct RtfDocument {
    std::string text; // UTF-8; paragraphs and line breaks as '\n', tabs as '\t'
    std::vector<RtfSpan> spans;
};

// Limits that keep hostile input bounded.
constexpr std::size_t kRtfMaxText = 1 << 16;  // bytes of text kept
constexpr double kRtfMaxSize = 400.0;         // font size in pixels

// The document in bytes, or nothing when it is no RTF (it must start with "{\rtf").
std::optional<RtfDocument> rtf_parse(std::string_view bytes);

} // namespace kiv::formats
