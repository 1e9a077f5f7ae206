// The rich-text reader: parsing, layout into 1-bit note pictures, the "rtf" image reader,
// and hostile input.
#include "formats/rtf_image.h"

#include <kivctrl/gs_image.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using kiv::formats::RtfDocument;
using kiv::formats::rtf_image;
using kiv::formats::rtf_parse;

int ink(const GSbitmap &b)
{
    int n = 0;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x)
            n += b.row(y)[x / 8] >> (7 - x % 8) & 1;
    }
    return n;
}

// The leftmost and rightmost inked columns.
std::pair<int, int> ink_columns(const GSbitmap &b)
{
    int lo = b.width(), hi = -1;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            if (b.row(y)[x / 8] >> (7 - x % 8) & 1)
                lo = std::min(lo, x), hi = std::max(hi, x);
        }
    }
    return {lo, hi};
}

TEST(RtfParse, TextFormatsAndDestinations)
{
    const auto doc = rtf_parse(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Helvetica;}{\\f1\\froman{\\*\\panose 0}Times;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}{\\*\\generator Writer;}{\\info{\\title T}}"
        "\\f0\\fs24 Plain {\\b bold}\\par\n{\\f1\\i It}\\tab caf\\'e9 \\u8364?\\uc2\\u937\\'3f\\'3f!"
        "{\\pict\\pngblip 89504e47}\\bin3 {}}x\\line\\~y}");
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->text, "Plain bold\nIt\tcaf\xC3\xA9 \xE2\x82\xAC\xCE\xA9!x\n\xC2\xA0y");
    ASSERT_GE(doc->spans.size(), 3u);
    const auto &first = doc->spans[0];
    EXPECT_EQ(doc->text.substr(first.begin, first.end - first.begin), "Plain ");
    EXPECT_EQ(first.format.font, "Helvetica");
    EXPECT_DOUBLE_EQ(first.format.size, 16.0);
    EXPECT_FALSE(first.format.bold);
    EXPECT_EQ(doc->text.substr(doc->spans[1].begin, doc->spans[1].end - doc->spans[1].begin), "bold");
    EXPECT_TRUE(doc->spans[1].format.bold);
    bool italic_times = false;
    for (const auto &s : doc->spans)
        italic_times |= s.format.italic && s.format.font == "Times" && doc->text.substr(s.begin, 2) == "It";
    EXPECT_TRUE(italic_times);
}

TEST(RtfParse, CodePagesFromTheDocumentAndFromFontCharsets)
{
    struct Case {
        const char *rtf, *text;
    };
    for (Case c : {Case{"{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}", "\xD0\x90\xD0\xB1"},
                   Case{"{\\rtf1{\\fonttbl{\\f2\\fcharset161 Greek;}}\\f2 \\'e1}", "\xCE\xB1"},
                   Case{"{\\rtf1 \\'80 \\'81}", "\xE2\x82\xAC \xEF\xBF\xBD"}, // cp1252 has no 0x81
                   Case{"{\\rtf1\\u-3913?}", "\xEF\x82\xB7"},                // negative: + 65536
                   Case{"{\\rtf1\\uc0\\u65 B}", "AB"}}) {
        const auto doc = rtf_parse(c.rtf);
        ASSERT_TRUE(doc) << c.rtf;
        EXPECT_EQ(doc->text, c.text) << c.rtf;
    }
    EXPECT_FALSE(rtf_parse("plain text"));
    EXPECT_FALSE(rtf_parse(""));
}

TEST(RtfRender, OneBitInkCroppedToTheWidestLine)
{
    const auto plain = rtf_image("{\\rtf1 Hello notes}");
    const auto bold = rtf_image("{\\rtf1\\b Hello notes}");
    const auto big = rtf_image("{\\rtf1\\fs48 Hello notes}");
    ASSERT_TRUE(plain && bold && big);
    EXPECT_EQ(plain->depth(), 1);
    // Cropped: the last column holds ink, and nothing is wider than the layout.
    EXPECT_EQ(ink_columns(*plain).second, plain->width() - 1);
    EXPECT_LE(plain->width(), 288);
    EXPECT_GT(ink(*plain), 50);
    EXPECT_GT(bold->width(), plain->width());
    EXPECT_GT(ink(*bold), ink(*plain));
    EXPECT_GT(big->height(), plain->height() * 3 / 2);
    // Two lines: higher, and as wide as the longer one.
    const auto two = rtf_image("{\\rtf1 Hello notes\\par Hi}");
    ASSERT_TRUE(two);
    EXPECT_EQ(two->width(), plain->width());
    EXPECT_GT(two->height(), plain->height() * 3 / 2);
    // A bold run inside a plain paragraph widens the picture (not measured in the default format).
    const auto mixed = rtf_image("{\\rtf1 Hello {\\b\\fs40 notes}}");
    ASSERT_TRUE(mixed);
    EXPECT_GT(mixed->width(), plain->width());
    // Long text wraps within 288 pixels.
    std::string words = "{\\rtf1 ";
    for (int i = 0; i < 60; ++i)
        words += "word ";
    const auto wrapped = rtf_image(words + "}");
    ASSERT_TRUE(wrapped);
    EXPECT_LE(wrapped->width(), 288);
    EXPECT_GT(wrapped->height(), 4 * plain->height());
    // Two fonts and non-Latin text make their own ink.
    const auto fonts = rtf_image("{\\rtf1{\\fonttbl{\\f0 DejaVu Sans;}{\\f1 DejaVu Serif;}}\\f0 Hello notes}");
    const auto serif = rtf_image("{\\rtf1{\\fonttbl{\\f0 DejaVu Sans;}{\\f1 DejaVu Serif;}}\\f1 Hello notes}");
    ASSERT_TRUE(fonts && serif);
    EXPECT_NE(ink(*fonts), ink(*serif));
    const auto greek = rtf_image("{\\rtf1 \\u937?\\u945?\\u946?}");
    ASSERT_TRUE(greek);
    EXPECT_GT(ink(*greek), 20);
}

TEST(RtfRender, HostileInputFailsOrStaysBounded)
{
    std::string nested = "{\\rtf1 ";
    nested += std::string(100000, '{') + "deep" + std::string(100000, '}') + "}";
    std::string many_lines = "{\\rtf1 ";
    for (int i = 0; i < 3000; ++i)
        many_lines += "x\\par ";
    const std::string cases[] = {
        "{\\rtf1 truncated \\b bol",
        "{\\rtf1 }}}}} unbalanced {{{",
        nested,
        "{\\rtf1\\fs999999 Huge}",
        "{\\rtf1\\fs-40 Negative}",
        "{\\rtf1 x\\bin999999999 ",
        "{\\rtf1 \\u99999999999999 \\uc999999999 \\'zz \\'",
        "{\\rtf1 \\",
        std::string("{\\rtf1 \0\xff\xfe junk \x01", 17),
        many_lines,
    };
    for (const std::string &c : cases) {
        SCOPED_TRACE(c.substr(0, 40));
        const auto b = rtf_image(c);
        if (!b)
            continue;
        EXPECT_LE(b->width(), 288);
        EXPECT_LE(b->height(), 4096);
        EXPECT_GE(b->width(), 1);
    }
}

class RtfReaderTest : public ::testing::Test {
public:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("kiv_rtf_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string write(const std::string &name, const std::string &content)
    {
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    std::filesystem::path dir;
};

TEST_F(RtfReaderTest, RegisteredReaderReadsRtfFilesOnly)
{
    GSimageReaderFactory *f = image_reader_get_factory("Rich Text Format");
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(f->suffix(), "rtf");
    EXPECT_STREQ(f->extname(), "Rich Text Format");
    const std::string rtf = "{\\rtf1 Hello notes}";
    const std::string good = write("note.RTF", rtf), other = write("note.txt", rtf);
    std::unique_ptr<GSimageReader> r(f->create(GSimageParams(good.c_str())));
    ASSERT_NE(r, nullptr);
    GSbitmapInfo info;
    ASSERT_TRUE(r->info(&info));
    EXPECT_EQ(info.width, 288);
    EXPECT_EQ(info.height, 192);
    EXPECT_EQ(info.depth, 1);
    GSbitmap *raw = nullptr;
    ASSERT_TRUE(r->read(&raw));
    std::unique_ptr<GSbitmap> b(raw);
    EXPECT_EQ(b->depth(), 1);
    EXPECT_GT(ink(*b), 50);
    std::unique_ptr<GSimageReader> t(f->create(GSimageParams(other.c_str())));
    raw = nullptr;
    EXPECT_FALSE(t && t->read(&raw));
    EXPECT_EQ(raw, nullptr);
    // Through the registry, as notes load their files.
    int index = 0;
    std::unique_ptr<GSbitmap> invoked(image_reader_invoke(good.c_str(), index));
    ASSERT_NE(invoked, nullptr);
    EXPECT_EQ(image_reader_get_factory(index), f);
    EXPECT_EQ(invoked->width(), b->width());
    EXPECT_EQ(image_reader_invoke(write("bad.rtf", "not rich text").c_str()), nullptr);
}

} // namespace
