#include <kivctrl/qel_memfile.h>

#include "streams/stream_fixtures.h"

#include <cstring>
#include <memory>
#include <string>

using streams_test::drain;
using streams_test::fresh_mem_name;
using streams_test::mem_reader;

namespace {

using Reader = std::unique_ptr<QelFileReader>;
using Writer = std::unique_ptr<QelFileWriter>;

Reader open_reader(const std::string &name)
{
    return Reader(QelCreateReaderInstance(name.c_str(), 0));
}

Writer open_writer(const std::string &name)
{
    return Writer(QelCreateWriterInstance(name.c_str(), 0));
}

TEST(MemoryFiles, WrittenBytesReadBackUnderTheSameName)
{
    std::string name = fresh_mem_name("abc");
    {
        Writer w = open_writer(name);
        ASSERT_EQ(w->error(), 0);
        EXPECT_EQ(w->write('a'), 'a');
        EXPECT_EQ(w->write("b"), 1);
        EXPECT_EQ(w->writeb("c", 1), 1u);
    }
    Reader r = open_reader(name);
    ASSERT_EQ(r->error(), 0);
    EXPECT_EQ(r->readch(), 'a');
    EXPECT_EQ(r->readch(), 'b');
    EXPECT_EQ(r->readch(), 'c');
    EXPECT_EQ(r->readch(), -1);
    EXPECT_NE(r->error(), 0);
    EXPECT_TRUE(r->iseof());
}

TEST(MemoryFiles, NamesAreCaseSensitive)
{
    std::string name = fresh_mem_name("Case");
    open_writer(name)->write("upper");
    std::string lower = "mem:" + name.substr(4);
    EXPECT_EQ(pathname_get_type(lower.c_str()), FILE_TYPE_MEMORY);
    EXPECT_EQ(drain(*open_reader(lower)), "");
    EXPECT_EQ(drain(*open_reader(name)), "upper");
}

TEST(MemoryFiles, ASecondOpenFailsAndEveryOperationOnItFails)
{
    std::string name = fresh_mem_name("busy");
    Writer first = open_writer(name);
    first->write("data");
    Reader second = open_reader(name);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->error(), 0);
    EXPECT_EQ(second->readch(), -1);
    EXPECT_EQ(second->tell(), -1);
    EXPECT_EQ(second->seek(0, QelFileReader::Begin), -1);
    Writer third = open_writer(name);
    EXPECT_NE(third->error(), 0);
    EXPECT_EQ(third->write('x'), -1);
    first.reset();
    EXPECT_EQ(drain(*open_reader(name)), "data");
}

TEST(MemoryFiles, WritingAfterABackwardSeekCutsTheRest)
{
    std::string name = fresh_mem_name("cut");
    open_writer(name)->write("abcdef");
    // Reopening for writing starts at the beginning: data ends where writing stops.
    open_writer(name)->write("XY");
    EXPECT_EQ(drain(*open_reader(name)), "XY");
    // Opening for writing and writing nothing keeps the data.
    open_writer(name);
    EXPECT_EQ(drain(*open_reader(name)), "XY");
}

TEST(MemoryFiles, GrowBeyondTheFirstBlockAndKeepEveryByte)
{
    std::string name = fresh_mem_name("big");
    std::string data;
    for (int i = 0; i < 100000; ++i)
        data += static_cast<char>(i * 7 + i / 256);
    {
        Writer w = open_writer(name);
        EXPECT_EQ(w->writeb(data.data(), 40000), 40000u);
        for (std::size_t i = 40000; i < data.size(); ++i)
            w->write(data[i]);
        EXPECT_EQ(w->error(), 0);
    }
    Reader r = open_reader(name);
    std::string back(data.size() + 10, '\0');
    EXPECT_EQ(r->readb(back.data(), back.size()), data.size());
    back.resize(data.size());
    EXPECT_EQ(back, data);
}

TEST(MemoryFiles, SeekClampsAndTellFollows)
{
    auto r = mem_reader("0123456789");
    EXPECT_EQ(r->seek(4, QelFileReader::Begin), 4);
    EXPECT_EQ(r->readch(), '4');
    EXPECT_EQ(r->seek(-2, QelFileReader::Current), 3);
    EXPECT_EQ(r->tell(), 3);
    EXPECT_EQ(r->seek(-1, QelFileReader::End), 9);
    EXPECT_EQ(r->readch(), '9');
    EXPECT_EQ(r->readch(), -1);
    // Beyond the end forward lands at the end, before the start backward at the start.
    EXPECT_EQ(r->seek(50, QelFileReader::Begin), 10);
    EXPECT_EQ(r->seek(-50, QelFileReader::Current), 0);
    EXPECT_EQ(r->seek(5, QelFileReader::End), 10);
    // A seek clears the end condition, so reading resumes.
    EXPECT_EQ(r->seek(0, QelFileReader::Begin), 0);
    EXPECT_EQ(r->error(), 0);
    char buf[4];
    EXPECT_EQ(r->readb(buf, 4), 4u);
    EXPECT_EQ(std::string(buf, 4), "0123");
}

TEST(MemoryFiles, PushBackMovesTheCursorBack)
{
    auto r = mem_reader("ab");
    EXPECT_EQ(r->unreadch('z'), -1); // nothing before the start
    EXPECT_EQ(r->readch(), 'a');
    EXPECT_EQ(r->unreadch('a'), 'a');
    EXPECT_EQ(r->readch(), 'a');
    EXPECT_EQ(r->readch(), 'b');
    EXPECT_EQ(r->readch(), -1);
    EXPECT_EQ(r->unreadch(-1), -1); // the end marker cannot be pushed back
    EXPECT_EQ(r->unreadch('b'), 'b');
    EXPECT_EQ(r->readch(), 'b');
}

TEST(MemoryFiles, TextReadsAreLines)
{
    auto r = mem_reader("first line\nsecond\nx");
    char buf[8];
    ASSERT_NE(r->read(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "first l");
    ASSERT_NE(r->read(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "ine\n");
    ASSERT_NE(r->read(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "second\n");
    ASSERT_NE(r->read(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "x");
    EXPECT_EQ(r->read(buf, sizeof buf), nullptr);
    unsigned short wide[4];
    EXPECT_EQ(r->read(wide, 1), nullptr);
}

TEST(MemoryFiles, WideWritesFail)
{
    Writer w = open_writer(fresh_mem_name("wide"));
    const unsigned short text[] = {'h', 'i', 0};
    EXPECT_EQ(w->write(text), -1);
    EXPECT_EQ(w->write(static_cast<unsigned short>('h')), -1);
    EXPECT_EQ(w->write('\xff'), 255);
}

TEST(MemoryFileRemover, RemovesClosedFilesAndDefersOpenOnes)
{
    EXPECT_EQ(QelCreateRemoverInstance("scratch.txt"), nullptr);
    EXPECT_EQ(QelCreateRemoverInstance("http://host/a"), nullptr);

    std::string name = fresh_mem_name("gone");
    open_writer(name)->write("old");
    std::unique_ptr<QelFileRemover> remover(QelCreateRemoverInstance(name.c_str()));
    ASSERT_NE(remover, nullptr);
    EXPECT_EQ(remover->remove(), 1);
    EXPECT_EQ(remover->remove(), 0); // no longer known
    EXPECT_EQ(drain(*open_reader(name)), "");

    // An open file is taken out of the directory but lives on until its stream closes.
    std::string open_name = fresh_mem_name("open");
    Writer w = open_writer(open_name);
    w->write("kept");
    EXPECT_EQ(std::unique_ptr<QelFileRemover>(QelCreateRemoverInstance(open_name.c_str()))->remove(), 0);
    EXPECT_EQ(w->write("!"), 1);
    w.reset();
    EXPECT_EQ(drain(*open_reader(open_name)), "");
}

} // namespace
