#include <kivctrl/qel_localfile.h>

#include "streams/stream_fixtures.h"

#include <memory>
#include <string>

using streams_test::drain;
using streams_test::read_file;
using streams_test::ScratchDir;
using streams_test::write_file;

namespace {

using Reader = std::unique_ptr<QelFileReader>;
using Writer = std::unique_ptr<QelFileWriter>;

TEST(FileType, FollowsTheFormOfTheName)
{
    const struct {
        const char *name;
        FILE_TYPE type;
    } cases[] = {
        {"parts/bolt.kvg", FILE_TYPE_LOCAL},
        {"bolt.kvg", FILE_TYPE_LOCAL},
        {"C:\\parts\\bolt.kvg", FILE_TYPE_LOCAL},
        {"file:///tmp/a.kvg", FILE_TYPE_LOCAL},
        {"http://example.org/a.kvasf", FILE_TYPE_HTTP},
        {"HTTP://example.org/a.kvasf", FILE_TYPE_HTTP},
        {"ftp://user@host/a.kvb", FILE_TYPE_FTP},
        {"https://example.org/a", FILE_TYPE_HTTP},
        {"news:comp.graphics", FILE_TYPE_UNKNOWN},
        {"MEM:scratch", FILE_TYPE_MEMORY},
        {"Mem:scratch", FILE_TYPE_MEMORY},
        {"memo:x", FILE_TYPE_UNKNOWN},
        {"a b:c", FILE_TYPE_UNKNOWN},
        {nullptr, FILE_TYPE_UNKNOWN},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(pathname_get_type(c.name), c.type);
    }
}

TEST(StreamFactories, FailCleanlyWhereNoStreamIsAvailable)
{
    EXPECT_EQ(QelCreateWriterInstance("http://127.0.0.1:1/a.kvg", 0), nullptr);
    // Nothing listens on port 1: HTTP(S) and FTP streams come back failed.
    for (const char *url : {"http://127.0.0.1:1/a.kvg", "https://127.0.0.1:1/a.kvg", "ftp://127.0.0.1:1/a.kvg"}) {
        Reader r(QelCreateReaderInstance(url, QEL_STREAM_BINARY));
        ASSERT_NE(r, nullptr);
        EXPECT_NE(r->error(), 0);
        EXPECT_EQ(r->readch(), -1);
    }
    Writer ftp(QelCreateWriterInstance("ftp://127.0.0.1:1/a.kvg", 0));
    ASSERT_NE(ftp, nullptr);
    EXPECT_NE(ftp->error(), 0);

    Reader missing(QelCreateReaderInstance("/nonexistent/dir/file.kvg", 0));
    EXPECT_EQ(missing->error(), 1);
    EXPECT_EQ(missing->readch(), -1);
    EXPECT_EQ(missing->seek(0, QelFileReader::Begin), -1);
    EXPECT_EQ(missing->tell(), -1);
    Writer unwritable(QelCreateWriterInstance("/nonexistent/dir/file.kvg", 0));
    EXPECT_EQ(unwritable->error(), 1);
    EXPECT_EQ(unwritable->write('x'), 1);
}

TEST(LocalFiles, RoundTripBytesThroughTheFactories)
{
    ScratchDir dir;
    std::string path = dir.file("data.bin");
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    {
        Writer w(QelCreateWriterInstance(path.c_str(), QEL_STREAM_BINARY));
        ASSERT_EQ(w->error(), 0);
        EXPECT_EQ(w->writeb(bytes.data(), bytes.size()), bytes.size());
        EXPECT_EQ(w->write('!'), 0);
    }
    EXPECT_EQ(read_file(path), bytes + "!");

    Reader r(QelCreateReaderInstance(path.c_str(), QEL_STREAM_BINARY));
    ASSERT_EQ(r->error(), 0);
    unsigned short pair = 0;
    EXPECT_EQ(r->readchar(pair), 0);
    EXPECT_EQ(pair, 0x0001); // first byte high
    EXPECT_EQ(r->tell(), 2);
    EXPECT_EQ(r->seek(-2, QelFileReader::End), 0);
    char c = 0;
    EXPECT_EQ(r->readbyte(c), 0);
    EXPECT_EQ(c, '\xff');
    EXPECT_EQ(r->readchar(c), 0);
    EXPECT_EQ(c, '!');
    EXPECT_NE(r->readchar(c), 0);
    EXPECT_EQ(c, '!'); // untouched at the end
    EXPECT_TRUE(r->iseof());
    EXPECT_EQ(r->seek(250, QelFileReader::Begin), 0);
    char buf[16];
    EXPECT_EQ(r->readb(buf, sizeof buf), 7u); // short count
    EXPECT_EQ(r->error(), -1);
}

TEST(LocalFiles, TextReadersStripTheCarriageReturnOfCrLf)
{
    ScratchDir dir;
    std::string path = dir.file("dos.txt");
    write_file(path, "one\r\ntwo\rthree\r\n");
    EXPECT_EQ(drain(*Reader(QelCreateReaderInstance(path.c_str(), 0))), "one\ntwo\rthree\n");
    EXPECT_EQ(drain(*Reader(QelCreateReaderInstance(path.c_str(), QEL_STREAM_BINARY))), "one\r\ntwo\rthree\r\n");

    LocalFileReader lines(path.c_str(), false);
    char line[32];
    ASSERT_NE(lines.read(line, sizeof line), nullptr);
    EXPECT_STREQ(line, "one\n");
    ASSERT_NE(lines.read(line, 4), nullptr); // at most n - 1 characters
    EXPECT_STREQ(line, "two");
    ASSERT_NE(lines.read(line, sizeof line), nullptr);
    EXPECT_STREQ(line, "\rthree\n");
    EXPECT_EQ(lines.read(line, sizeof line), nullptr);
    EXPECT_NE(lines.error(), 0);
}

TEST(LocalFiles, AssemblyHeaderLineReadsAsOneLine)
{
    ScratchDir dir;
    std::string path = dir.file("a.kvasf");
    write_file(path, "KVASF V1.2\n\x05\x00\x00\x00");
    LocalFileReader r(path.c_str(), true);
    char header[11];
    ASSERT_NE(r.read(header, sizeof header), nullptr);
    EXPECT_STREQ(header, "KVASF V1.2");
    EXPECT_EQ(r.readch(), '\n');
}

TEST(LocalFiles, NarrowTextReadsAreWords)
{
    ScratchDir dir;
    std::string path = dir.file("words.txt");
    write_file(path, "  alpha\tbe ta  ");
    QelNarrowReaderImp r(path.c_str(), false);
    char word[4];
    ASSERT_NE(r.read(word, 3), nullptr);
    EXPECT_STREQ(word, "alp");
    ASSERT_NE(r.read(word, 3), nullptr);
    EXPECT_STREQ(word, "ha");
    EXPECT_EQ(r.readch(), '\t'); // the ending whitespace was pushed back
    ASSERT_NE(r.read(word, 3), nullptr);
    EXPECT_STREQ(word, "be");
    ASSERT_NE(r.read(word, 3), nullptr);
    EXPECT_STREQ(word, "ta");
    EXPECT_EQ(r.read(word, 3), nullptr);
}

TEST(LocalFiles, WindowsNamesFindTheFile)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir.path() / "Parts");
    write_file(dir.file("Parts/Bolt.KVG"), "bolt");
    std::string windows_name = dir.path().string() + "\\parts\\BOLT.kvg";
    Reader r(QelCreateReaderInstance(windows_name.c_str(), 0));
    ASSERT_EQ(r->error(), 0);
    EXPECT_EQ(drain(*r), "bolt");
    std::string url = "file://" + dir.path().string() + "/Parts/Bolt%2EKVG";
    EXPECT_EQ(drain(*Reader(QelCreateReaderInstance(url.c_str(), 0))), "bolt");
    std::string new_file = dir.path().string() + "\\PARTS\\nut.kvg";
    {
        Writer w(QelCreateWriterInstance(new_file.c_str(), 0));
        ASSERT_EQ(w->error(), 0);
        w->write("nut");
    }
    EXPECT_EQ(read_file(dir.file("Parts/nut.kvg")), "nut");
}

TEST(Writers, FormatCutAndWide)
{
    ScratchDir dir;
    std::string path = dir.file("out.txt");
    {
        Writer w(QelCreateWriterInstance(path.c_str(), 0));
        EXPECT_EQ(w->writef("%d-%s", 42, "x"), 4);
        EXPECT_EQ(w->writefln(" %.2f", 1.5), 5);
        EXPECT_EQ(w->writeln(), 0);
        const unsigned short wide[] = {'w', 0x141, 'd', 0};
        EXPECT_EQ(w->write(wide), 0);
        EXPECT_EQ(w->write(static_cast<unsigned short>(0x4121)), 0);
        EXPECT_EQ(w->writestring("two words"), 11);
        EXPECT_EQ(w->supports_wide_output(), 0);
        // Longer than the format buffer: cut to 20479 characters.
        std::string big(30000, 'z');
        EXPECT_EQ(w->writef("%s", big.c_str()), -1);
        EXPECT_EQ(w->error(), 0);
    }
    std::string expected = "42-x 1.50\n\nwAd!\"two words\"" + std::string(20479, 'z');
    EXPECT_EQ(read_file(path), expected);
}

} // namespace
