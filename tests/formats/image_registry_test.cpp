// Bitmaps, the image reader and writer registries and the built-in readers on small
// fixtures made here.
#include <kivctrl/kivctrl.h>
#include <kivctrl/qel_internet.h>

#include "support/bus_recorder.h"
#include "support/loopback_servers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A reader factory whose readers succeed or fail as told, counting what is asked of it.
class FakeReaderFactory : public GSimageReaderFactoryImp {
public:
    enum Mode { NoReader, Fails, Reads };
    FakeReaderFactory(const char *suffix, const char *name, Mode mode)
        : GSimageReaderFactoryImp(suffix), name_(name), mode_(mode)
    {
    }
    const char *name() override { return name_; }
    GSimageReader *create(const GSimageParams &params) override;
    int creates = 0;
    int last_depth = 0;

private:
    const char *name_;
    Mode mode_;
};

class FakeReader : public GSimageReader {
public:
    FakeReader(const GSimageParams &p, bool ok) : GSimageReader(p), ok_(ok) {}
    int read(GSbitmap **b) override
    {
        *b = ok_ ? std::make_unique<GSbitmap>(2, 3, 32).release() : nullptr;
        return ok_;
    }
    int info(GSbitmapInfo *info) override
    {
        if (ok_ && info)
            *info = GSbitmapInfo(2, 3, 32);
        return ok_;
    }

private:
    bool ok_;
};

GSimageReader *FakeReaderFactory::create(const GSimageParams &params)
{
    ++creates;
    last_depth = params.depth;
    if (mode_ == NoReader)
        return nullptr;
    return std::make_unique<FakeReader>(params, mode_ == Reads).release();
}

class FakeWriterFactory : public GSimageWriterFactoryImp {
public:
    FakeWriterFactory(const char *suffix, const char *name)
        : GSimageWriterFactoryImp(suffix), name_(name)
    {
    }
    const char *name() override { return name_; }
    GSimageWriter *create(const GSimageParams &) override { return nullptr; }

private:
    const char *name_;
};

// The built-in readers stay registered; the fakes are added around them.
std::vector<std::string> reader_names()
{
    std::vector<std::string> out;
    for (int i = 1; i <= image_reader_count(); ++i)
        out.emplace_back(image_reader_get_factory(i)->name());
    return out;
}

std::string temp_file(const std::string &name, const Bytes &bytes)
{
    const fs::path path = fs::temp_directory_path() / ("kiv_image_test_" + name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

void put16(Bytes &b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes &b, std::uint32_t v)
{
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

// A 24-bit Windows bitmap of 3 x 2 pixels; pixel (x, y from the bottom) is (10x+y, 100+x, 200+y).
Bytes bmp_3x2()
{
    Bytes b{'B', 'M'};
    put32(b, 14 + 40 + 24);
    put32(b, 0);
    put32(b, 14 + 40);
    put32(b, 40);
    put32(b, 3);
    put32(b, 2);
    put16(b, 1);
    put16(b, 24);
    for (int i = 0; i < 6; ++i)
        put32(b, 0);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            b.push_back(static_cast<std::uint8_t>(200 + y));
            b.push_back(static_cast<std::uint8_t>(100 + x));
            b.push_back(static_cast<std::uint8_t>(10 * x + y));
        }
        for (int pad = 0; pad < 3; ++pad)
            b.push_back(0);
    }
    return b;
}

// A 24-bit true-colour Targa picture of 3 x 2, raw or run-length, with either origin; the
// picture is the same as bmp_3x2's.
Bytes tga_3x2(bool top_left, bool rle)
{
    Bytes b{0, 0, static_cast<std::uint8_t>(rle ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(b, 3);
    put16(b, 2);
    b.push_back(24);
    b.push_back(top_left ? 0x20 : 0);
    for (int row = 0; row < 2; ++row) {
        const int y = top_left ? 1 - row : row;
        if (rle)
            b.push_back(2);  // three literal pixels
        for (int x = 0; x < 3; ++x) {
            b.push_back(static_cast<std::uint8_t>(200 + y));
            b.push_back(static_cast<std::uint8_t>(100 + x));
            b.push_back(static_cast<std::uint8_t>(10 * x + y));
        }
    }
    return b;
}

void expect_3x2_picture(const GSbitmap &b)
{
    ASSERT_EQ(b.width(), 3);
    ASSERT_EQ(b.height(), 2);
    ASSERT_EQ(b.depth(), 32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t *p = b.row(y) + 4 * x;
            EXPECT_EQ(p[0], 10 * x + y);
            EXPECT_EQ(p[1], 100 + x);
            EXPECT_EQ(p[2], 200 + y);
            EXPECT_EQ(p[3], 255);
        }
}

TEST(GSbitmap, RowSizesFollowTheDepth)
{
    struct Case {
        int width, depth;
        std::size_t row;
        short bytes, pixels;
    } cases[] = {{10, 1, 2, 1, 8}, {5, 8, 5, 1, 1}, {5, 16, 10, 2, 0}, {5, 24, 15, 3, 0},
                 {5, 32, 20, 4, 0}, {3, 0, 3, 1, 1}};
    for (const Case &c : cases) {
        GSbitmap b(c.width, 3, c.depth);
        EXPECT_EQ(b.rowbytes(), c.row) << c.depth;
        EXPECT_EQ(b.size(), 3 * c.row) << c.depth;
        EXPECT_EQ(b.bytes_per_pixel(), c.bytes) << c.depth;
        EXPECT_EQ(b.pixels_per_byte(), c.pixels) << c.depth;
    }
    GSbitmap b(2, 2, 8);
    b.setbyte(3, 7);
    b.setbyte(4, 9);
    b.setbyte(-1, 9);
    EXPECT_EQ(b.getbyte(3), 7);
    EXPECT_EQ(b.getbyte(4), 0);
    GSbitmap copy(b);
    EXPECT_EQ(copy.getbyte(3), 7);
    EXPECT_NE(copy.bitmap(), b.bitmap());
    EXPECT_EQ(b.getpalette(), nullptr);
}

TEST(GSbitmap, PromotionToDepth32)
{
    EXPECT_EQ(image_promote_to_32(nullptr), nullptr);
    auto deep = std::make_unique<GSbitmap>(2, 2, 32);
    EXPECT_EQ(image_promote_to_32(deep.get()), deep.get());

    struct Case {
        int depth;
        std::vector<std::uint8_t> in;  // one row of two pixels
        std::vector<std::uint8_t> out;
    } cases[] = {
        {1, {0x80}, {255, 255, 255, 255, 0, 0, 0, 255}},
        {8, {7, 200}, {7, 7, 7, 255, 200, 200, 200, 255}},
        {16, {7, 9, 200, 1}, {7, 7, 7, 9, 200, 200, 200, 1}},
        {24, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 255, 4, 5, 6, 255}},
        {4, {0x12}, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        auto b = std::make_unique<GSbitmap>(2, 1, c.depth);
        ASSERT_EQ(b->size(), c.in.size()) << c.depth;
        std::copy(c.in.begin(), c.in.end(), b->bitmap());
        std::unique_ptr<GSbitmap> p(image_promote_to_32(b.release()));
        ASSERT_EQ(p->depth(), 32);
        EXPECT_EQ(Bytes(p->bitmap(), p->bitmap() + p->size()), c.out) << c.depth;
    }
}

TEST(ImageReaders, BuiltInFactories)
{
    EXPECT_EQ(reader_names(), (std::vector<std::string>{"Windows Bitmap", "JPEG",
                                                        "Rich Text Format", "Truevision Targa",
                                                        "Tagged Image File Format"}));
    GSimageReaderFactory *bmp = image_reader_get_factory("windows bitmap");
    ASSERT_NE(bmp, nullptr);
    EXPECT_STREQ(bmp->suffix(), "bmp");
    EXPECT_STREQ(bmp->extname(), "Windows Bitmap");
    EXPECT_EQ(bmp->hints(), 1);
    EXPECT_EQ(image_reader_get_factory("JPEG")->hints(), 0);
    EXPECT_STREQ(image_reader_get_factory(5)->extname(), "Tagged Image File Format");
    EXPECT_EQ(image_reader_get_index(bmp), 1);
    EXPECT_EQ(image_reader_get_factory(6), nullptr);
    EXPECT_EQ(image_reader_get_factory(0), nullptr);
}

TEST(ImageReaders, RegistrationSortsAndAnnounces)
{
    kivtest::BusRecorder m(
        kivtest::codes_between(MSG_IMAGE_READER_REGISTERED, MSG_MOVIE_WRITER_UNREGISTERED));
    FakeReaderFactory a("png", "Zeta", FakeReaderFactory::NoReader);
    FakeReaderFactory b("PNG", "alpha", FakeReaderFactory::NoReader);
    FakeReaderFactory c("aaa", "First", FakeReaderFactory::NoReader);
    EXPECT_EQ(image_reader_register(&a), 3);   // "jpg" < "png" < "tga"
    EXPECT_EQ(image_reader_register(&b), 3);   // same suffix: "alpha" before "Zeta"
    EXPECT_EQ(image_reader_register(&c), 1);
    EXPECT_EQ(reader_names(),
              (std::vector<std::string>{"First", "Windows Bitmap", "JPEG", "alpha", "Zeta",
                                        "Rich Text Format", "Truevision Targa",
                                        "Tagged Image File Format"}));
    FakeReaderFactory twin("x", "zeta", FakeReaderFactory::NoReader);
    EXPECT_EQ(image_reader_register(&twin), 9);  // an older one of that name stays
    EXPECT_EQ(image_reader_get_factory("ZETA"), &a);
    for (FakeReaderFactory *f : {&twin, &c, &b, &a})
        EXPECT_EQ(image_reader_unregister(f), 0);
    EXPECT_EQ(image_reader_unregister(&a), 0);  // no longer registered: nothing sent
    EXPECT_EQ(m.codes_and_counts(), (std::vector<std::pair<int, int>>{
                          {1801, 3}, {1801, 3}, {1801, 1}, {1801, 9},
                          {1802, 9}, {1802, 1}, {1802, 3}, {1802, 3}}));
    EXPECT_EQ(image_reader_count(), 5);
}

TEST(ImageReaders, InvokeTriesFactoriesInOrder)
{
    FakeReaderFactory none("aa", "none", FakeReaderFactory::NoReader);
    FakeReaderFactory fails("ab", "fails", FakeReaderFactory::Fails);
    FakeReaderFactory reads("ac", "reads", FakeReaderFactory::Reads);
    for (auto *f : {&none, &fails, &reads})
        image_reader_register(f);

    int index = -1;
    EXPECT_EQ(image_reader_invoke("", index), nullptr);
    EXPECT_EQ(image_reader_invoke(nullptr), nullptr);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(none.creates, 0);

    std::unique_ptr<GSbitmap> b(image_reader_invoke("whatever.xyz", index));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(index, 3);
    EXPECT_EQ(b->width(), 2);
    EXPECT_EQ(none.creates, 1);
    EXPECT_EQ(fails.creates, 1);
    EXPECT_EQ(reads.last_depth, 32);

    GSbitmapInfo info;
    EXPECT_EQ(image_reader_info("whatever.xyz", &info), 3);
    EXPECT_EQ(info.height, 3);
    EXPECT_EQ(image_reader_info("whatever.xyz", nullptr), 2);  // the first that makes a reader
    for (auto *f : {&none, &fails, &reads})
        image_reader_unregister(f);
    EXPECT_EQ(image_reader_invoke("missing-file.bmp", index), nullptr);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(image_reader_info("missing-file.bmp", nullptr), 0);
}

// A listener of a removal may change the list: the factory announced is the one removed.
TEST(ImageReaders, RemovalTakesOutTheAnnouncedFactoryWhateverListenersDid)
{
    FakeReaderFactory first("aa", "first", FakeReaderFactory::NoReader);
    FakeReaderFactory second("ab", "second", FakeReaderFactory::NoReader);
    image_reader_register(&first);
    image_reader_register(&second);
    struct Unregisters : MsgHandlerImp {
        explicit Unregisters(GSimageReaderFactory *f) : other(f) { msg_handler_register(this); }
        ~Unregisters() override { msg_handler_unregister(this); }
        const char *name() override { return "unregisters another reader"; }
        int handle(short code, void *, std::intptr_t) override
        {
            if (code == MSG_IMAGE_READER_UNREGISTERED && other)
                image_reader_unregister(std::exchange(other, nullptr));
            return 0;
        }
        GSimageReaderFactory *other;
    } listener(&first);
    const std::vector<std::string> built_in = reader_names();
    image_reader_unregister(&second);
    EXPECT_EQ(image_reader_get_index(&first), 0);
    EXPECT_EQ(image_reader_get_index(&second), 0);
    EXPECT_EQ(reader_names(), std::vector<std::string>(built_in.begin() + 2, built_in.end()));
}

TEST(ImageWriters, SameNameReplacesAndListsAreSeparate)
{
    kivtest::BusRecorder m(
        kivtest::codes_between(MSG_IMAGE_READER_REGISTERED, MSG_MOVIE_WRITER_UNREGISTERED));
    FakeWriterFactory first("png", "PNG");
    FakeWriterFactory second("png", "png");
    FakeWriterFactory movie("avi", "PNG");
    EXPECT_EQ(still_writer_register(&first), 1);
    EXPECT_EQ(movie_writer_register(&movie), 1);
    EXPECT_EQ(still_writer_register(&second), 1);
    EXPECT_EQ(still_writer_count(), 1);
    EXPECT_EQ(still_writer_get_factory("PNG"), &second);
    EXPECT_EQ(still_writer_get_index(&first), 0);
    EXPECT_EQ(movie_writer_get_factory(1), &movie);
    still_writer_unregister(&second);
    movie_writer_unregister(&movie);
    EXPECT_EQ(still_writer_count(), 0);
    EXPECT_EQ(movie_writer_count(), 0);
    EXPECT_EQ(m.codes_and_counts(), (std::vector<std::pair<int, int>>{
                          {1813, 1}, {1815, 1}, {1814, 1}, {1813, 1}, {1814, 1}, {1816, 1}}));
}

TEST(BuiltInReaders, SmallBitmapAndTargaFixtures)
{
    int index = 0;
    std::unique_ptr<GSbitmap> bmp(image_reader_invoke(temp_file("3x2.bmp", bmp_3x2()).c_str(), index));
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(index, 1);
    expect_3x2_picture(*bmp);
    EXPECT_EQ(bmp->getbyte(0), 0);  // bottom-left pixel first: red 0, green 100, blue 200
    EXPECT_EQ(bmp->getbyte(1), 100);

    for (bool top : {false, true})
        for (bool rle : {false, true}) {
            const std::string name = std::string("3x2_") + (top ? "tl" : "bl") + (rle ? "_rle" : "") + ".tga";
            std::unique_ptr<GSbitmap> tga(image_reader_invoke(temp_file(name, tga_3x2(top, rle)).c_str(), index));
            ASSERT_NE(tga, nullptr) << name;
            EXPECT_EQ(index, 4);
            expect_3x2_picture(*tga);
        }

    GSbitmapInfo info;
    EXPECT_EQ(image_reader_info(temp_file("info.tga", tga_3x2(true, false)).c_str(), &info), 4);
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.depth, 32);
}

TEST(BuiltInReaders, CutFilesFail)
{
    const Bytes bmp = bmp_3x2();
    const Bytes tga = tga_3x2(false, true);
    for (std::size_t cut : {std::size_t{0}, std::size_t{10}, std::size_t{60}, bmp.size() - 1}) {
        const Bytes part(bmp.begin(), bmp.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_EQ(image_reader_invoke(temp_file("cut.bmp", part).c_str()), nullptr) << cut;
    }
    for (std::size_t cut : {std::size_t{17}, std::size_t{20}, tga.size() - 1}) {
        const Bytes part(tga.begin(), tga.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_EQ(image_reader_invoke(temp_file("cut.tga", part).c_str()), nullptr) << cut;
    }
}

TEST(BuiltInReaders, InternetNameIsReadFromItsDownload)
{
    kivtest::ScratchDir dir("image_http");
    const Bytes bmp = bmp_3x2();
    kivtest::write_file(dir.file("pic.bmp"), std::string(bmp.begin(), bmp.end()));
    kivtest::HttpServer server(dir.path());
    ASSERT_TRUE(server.running());
    int index = 0;
    std::unique_ptr<GSbitmap> b(image_reader_invoke(server.url("/pic.bmp").c_str(), index));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(index, 1);
    expect_3x2_picture(*b);
    EXPECT_EQ(image_reader_invoke(server.url("/missing.bmp").c_str(), index), nullptr);
    EXPECT_EQ(index, 0);
}

// libjpeg only warns when a file ends inside its picture data.
TEST(BuiltInReaders, JpegCutInsideItsDataFails)
{
    const fs::path source = fs::path(KIV_TESTDATA_DIR) / "real/jpeg/libjpeg-turbo/testorig.jpg";
    if (!fs::exists(source))
        GTEST_SKIP() << "no test data at " << source;
    std::ifstream in(source, std::ios::binary);
    const Bytes whole{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::unique_ptr<GSbitmap> full(image_reader_invoke(temp_file("whole.jpg", whole).c_str()));
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->depth(), 24);
    const Bytes half(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
    int index = -1;
    EXPECT_EQ(image_reader_invoke(temp_file("half.jpg", half).c_str(), index), nullptr);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(image_reader_info(temp_file("half.jpg", half).c_str(), nullptr), 2);
}

} // namespace
