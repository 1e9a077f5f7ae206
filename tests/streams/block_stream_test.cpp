#include <kivctrl/qel_block_stream.h>
#include <kivctrl/qel_memfile.h>

#include "streams/stream_fixtures.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

using streams_test::fresh_mem_name;
using streams_test::read_file;
using streams_test::ScratchDir;

namespace {

using Reader = std::unique_ptr<QelFileReader>;
using Writer = std::unique_ptr<QelFileWriter>;

std::string random_bytes(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char &c : s)
        c = static_cast<char>(rng());
    return s;
}

std::string mesh_like_text(std::size_t n)
{
    std::string s;
    for (int i = 0; s.size() < n; ++i)
        s += "v " + std::to_string(i % 97) + ".25 " + std::to_string(i * 7 % 31) + " -1.5\n";
    s.resize(n);
    return s;
}

// The bytes of one block holding text, as ImplodingWriter writes it.
std::string block_of(const std::string &text)
{
    std::string name = fresh_mem_name("block");
    {
        Writer target(QelCreateWriterInstance(name.c_str(), QEL_STREAM_BINARY));
        ImplodingWriter block(target.get(), text.size());
        EXPECT_EQ(block.writeb(text.data(), text.size()), text.size());
        EXPECT_EQ(block.close(), 0);
    }
    Reader r(QelCreateReaderInstance(name.c_str(), QEL_STREAM_BINARY));
    return streams_test::drain(*r);
}

std::uint32_t u32_at(const std::string &s, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
}

struct Exploded {
    int error_after_open;
    std::string text;
    int error_at_end;
};

// Reads a block from bytes held in a memory file, with whatever follows it.
Exploded explode(const std::string &bytes, std::string *rest = nullptr)
{
    std::string name = fresh_mem_name("packed");
    Writer(QelCreateWriterInstance(name.c_str(), 0))->writeb(bytes.data(), bytes.size());
    Reader source(QelCreateReaderInstance(name.c_str(), 0));
    ExplodingReader r(source.get());
    Exploded out{r.error(), {}, 0};
    for (int c = r.readch(); c >= 0; c = r.readch())
        out.text += static_cast<char>(c);
    out.error_at_end = r.error();
    if (rest)
        *rest = streams_test::drain(*source);
    return out;
}

TEST(CompressedBlocks, RoundTripATableOfTexts)
{
    const struct {
        const char *label;
        std::string text;
        bool compressed;
    } cases[] = {
        {"empty", "", false},
        {"one byte", "x", false},
        {"short text", "abc", false},
        {"long run", std::string(5000, 'a'), true},
        {"random", random_bytes(20000, 1), false},
        {"text", mesh_like_text(300000), true},
        {"zeros then random", std::string(3000, '\0') + random_bytes(3000, 2), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        std::string bytes = block_of(c.text);
        ASSERT_GE(bytes.size(), 8u);
        std::uint32_t r = u32_at(bytes, 0), s = u32_at(bytes, 4);
        EXPECT_EQ(r, c.text.size());
        EXPECT_EQ(s <= r, c.compressed);
        EXPECT_EQ(bytes.size(), 8 + (s <= r ? s : r));
        Exploded back = explode(bytes);
        EXPECT_EQ(back.error_after_open, 0);
        EXPECT_TRUE(back.text == c.text);
        EXPECT_EQ(back.error_at_end, 1);
    }
}

TEST(CompressedBlocks, NestedAndConsecutiveBlocksThroughARealFile)
{
    ScratchDir dir;
    std::string path = dir.file("nested.kvb");
    std::string inner_text = mesh_like_text(40000);
    std::string noise = random_bytes(777, 3);
    {
        Writer file(QelCreateWriterInstance(path.c_str(), QEL_STREAM_BINARY));
        {
            ImplodingWriter outer(file.get(), 1 << 20);
            outer.write("head ");
            ImplodingWriter inner(&outer, inner_text.size());
            inner.writeb(inner_text.data(), inner_text.size());
            EXPECT_EQ(inner.close(), 0);
            outer.writef("%d tail", 42);
        }
        ImplodingWriter second(file.get(), 16);
        second.writeb(noise.data(), noise.size());
    }
    Reader file(QelCreateReaderInstance(path.c_str(), QEL_STREAM_BINARY));
    ExplodingReader outer(file.get());
    ASSERT_EQ(outer.error(), 0);
    char head[5];
    ASSERT_EQ(outer.readb(head, 5), 5u);
    EXPECT_EQ(std::string(head, 5), "head ");
    {
        ExplodingReader inner(&outer);
        ASSERT_EQ(inner.error(), 0);
        std::string got(inner_text.size(), '\0');
        EXPECT_EQ(inner.readb(got.data(), got.size()), got.size());
        EXPECT_TRUE(got == inner_text);
        EXPECT_TRUE(inner.iseof());
    }
    int n = 0;
    EXPECT_EQ(outer.readint(n), 0);
    EXPECT_EQ(n, 42);
    EXPECT_EQ(outer.readch(), ' ');
    ExplodingReader second(file.get());
    ASSERT_EQ(second.error(), 0);
    std::string got(noise.size() + 1, '\0');
    EXPECT_EQ(second.readb(got.data(), got.size()), noise.size());
    EXPECT_EQ(second.error(), 1);
    got.resize(noise.size());
    EXPECT_EQ(got, noise);
    EXPECT_EQ(file->readch(), -1);
}

TEST(CompressedBlocks, SmallerTextSizeMeansStoredText)
{
    std::string rest;
    Exploded e = explode(std::string("\x03\0\0\0\x0a\0\0\0abcdef", 14), &rest);
    EXPECT_EQ(e.error_after_open, 0);
    EXPECT_EQ(e.text, "abc");
    EXPECT_EQ(rest, "def");
}

TEST(CompressedBlocks, PushBackAndPositions)
{
    std::string name = fresh_mem_name("pos");
    std::string bytes = block_of("xy");
    Writer(QelCreateWriterInstance(name.c_str(), 0))->writeb(bytes.data(), bytes.size());
    Reader source(QelCreateReaderInstance(name.c_str(), 0));
    ExplodingReader r(source.get());
    EXPECT_EQ(r.unreadch('q'), -1);
    EXPECT_EQ(r.readch(), 'x');
    EXPECT_EQ(r.unreadch('x'), 'x');
    EXPECT_EQ(r.readch(), 'x');
    EXPECT_EQ(r.readch(), 'y');
    EXPECT_TRUE(r.iseof());
    EXPECT_EQ(r.readch(), -1);
    EXPECT_EQ(r.error(), 1);
    EXPECT_EQ(r.unreadch('y'), 'y');
    EXPECT_EQ(r.readch(), 'y');
    EXPECT_EQ(r.error(), 0);
    EXPECT_EQ(r.seek(0, QelFileReader::Begin), -1);
    EXPECT_EQ(r.tell(), -1);
    EXPECT_EQ(r.supports_wide_input(), 0);
}

TEST(CompressedBlocks, DamagedBlocksReportErrorsAndKeepWhatWasRecovered)
{
    const std::string text = mesh_like_text(60000);
    const std::string good = block_of(text);
    ASSERT_LT(u32_at(good, 4), text.size());

    // Truncated anywhere: an error, and what was recovered is a prefix of the text (all of
    // it when only the end marker is cut).
    for (std::size_t cut : {std::size_t(0), std::size_t(3), std::size_t(7), std::size_t(8), std::size_t(9),
                            std::size_t(10), good.size() / 2, good.size() - 1}) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        Exploded e = explode(good.substr(0, cut));
        EXPECT_NE(e.error_after_open, 0);
        EXPECT_NE(e.error_at_end, 0);
        EXPECT_LE(e.text.size(), text.size());
        EXPECT_EQ(text.compare(0, e.text.size(), e.text), 0);
    }

    // Bit flips in the compressed data: either an error, or exactly T bytes.
    std::mt19937 rng(7);
    for (int i = 0; i < 300; ++i) {
        std::string bad = good;
        std::size_t at = 8 + rng() % (bad.size() - 8);
        bad[at] = static_cast<char>(bad[at] ^ (1 << rng() % 8));
        Exploded e = explode(bad);
        if (e.error_after_open == 0) {
            EXPECT_EQ(e.text.size(), text.size()) << "flip at " << at;
        } else {
            EXPECT_LE(e.text.size(), text.size()) << "flip at " << at;
        }
    }

    // Random data behind sizes that promise a compressed block.
    for (unsigned seed = 0; seed < 50; ++seed) {
        std::string junk = random_bytes(2000, seed + 100);
        std::string bytes = std::string("\x00\x10\x00\x00\xd0\x07\x00\x00", 8) + junk;
        bytes[8] = 0;
        bytes[9] = static_cast<char>(4 + seed % 3);
        Exploded e = explode(bytes);
        if (e.error_after_open == 0) {
            EXPECT_EQ(e.text.size(), 0x1000u);
        }
    }
}

TEST(CompressedBlocks, SizeFieldsThatDisagreeWithTheData)
{
    const std::string text(4000, 'z');
    std::string bytes = block_of(text);
    ASSERT_LE(u32_at(bytes, 4), 100u);
    // Declared text smaller than what the data explodes to: only T bytes are kept.
    std::string smaller = bytes;
    smaller[0] = static_cast<char>(200);
    smaller[1] = 0;
    Exploded e = explode(smaller);
    EXPECT_NE(e.error_after_open, 0);
    EXPECT_EQ(e.text, std::string(200, 'z'));
    // Declared larger: everything there is, and an error.
    std::string larger = bytes;
    larger[2] = 1;
    e = explode(larger);
    EXPECT_NE(e.error_after_open, 0);
    EXPECT_EQ(e.text, text);
    // Negative sizes, and a huge stored text that is not there.
    EXPECT_NE(explode(std::string("\xff\xff\xff\xff\x01\0\0\0", 8)).error_after_open, 0);
    Exploded huge = explode(std::string("\xfe\xff\xff\x7f\xff\xff\xff\x7f" "abc", 11));
    EXPECT_NE(huge.error_after_open, 0);
    EXPECT_EQ(huge.text, "abc");
    // Both sizes zero: an empty block.
    Exploded empty = explode(std::string(8, '\0'));
    EXPECT_EQ(empty.error_after_open, 0);
    EXPECT_EQ(empty.text, "");

    ExplodingReader no_source(nullptr);
    EXPECT_NE(no_source.error(), 0);
    EXPECT_EQ(no_source.readch(), -1);
}

TEST(CompressedBlocks, WriterErrorsAreReported)
{
    std::string name = fresh_mem_name("taken");
    Writer holder(QelCreateWriterInstance(name.c_str(), 0));
    Writer refused(QelCreateWriterInstance(name.c_str(), 0)); // already open: every write fails
    ImplodingWriter block(refused.get(), 0);
    EXPECT_EQ(block.write("some text"), 0);
    EXPECT_NE(block.close(), 0);
    EXPECT_NE(block.write('x'), 0); // closed

    ImplodingWriter orphan(nullptr, 10);
    EXPECT_NE(orphan.close(), 0);
}

} // namespace
