// The rich-text parser on arbitrary bytes: it must fail or give bounded text whose format
// spans lie inside it, in order, on character boundaries.
#include "formats/rtf_document.h"
#include "fuzz/seeds.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

kiv::fuzz::Seeds seeds()
{
    return {
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fcharset204 Times;}}"
        "\\f0\\fs24 Plain {\\b bold} {\\i\\ul it}\\par\\f1 \\'c0\\'e9 \\u937?\\uc2\\u8364\\'3f\\'3f}",
        "{\\rtf1{\\*\\generator x;}{\\pict\\pngblip 0011}\\bin4 \x01\x02\x03\x04 after\\line\\tab end}",
        "{\\rtf1\\fs999999 {{{{deep}}}} \\strike s\\strike0 \\plain p}",
    };
}
KIV_FUZZ_SEEDS(seeds);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view in(reinterpret_cast<const char *>(data), size);
    const auto doc = kiv::formats::rtf_parse(in);
    if (!doc)
        return 0;
    if (doc->text.size() > kiv::formats::kRtfMaxText)
        std::abort();
    std::size_t at = 0;
    for (const auto &s : doc->spans) {
        if (s.begin < at || s.end <= s.begin || s.end > doc->text.size())
            std::abort();
        if (s.end < doc->text.size() && (static_cast<unsigned char>(doc->text[s.end]) & 0xC0) == 0x80)
            std::abort();
        if (!(s.format.size >= 1.0 && s.format.size <= kiv::formats::kRtfMaxSize))
            std::abort();
        at = s.end;
    }
    return 0;
}
