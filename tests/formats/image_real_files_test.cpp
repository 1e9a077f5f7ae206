// The image readers on the public test suites under KIV_TESTDATA_DIR/real: every accepted
// file must match ImageMagick's decode pixel for pixel (within a small tolerance for lossy
// or rescaled data), every rejected one must fail without a bitmap.
#include <kivctrl/kivctrl.h>

#include "formats/image_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path root = fs::path(KIV_TESTDATA_DIR) / "real";

enum class Expect { Read, Fail, Either };

struct Folder {
    const char *path;
    Expect expect;
    const char *reader;  // name() of the factory that must read the files
    int tolerance;       // largest channel difference from the reference
    const char *options = "";  // for the reference conversion
};

// convert keeps a Targa file's origin as a tag; -auto-orient applies it.
constexpr const char *targa = "-auto-orient";

// Folder-wide expectations. A tolerance of 1 allows for convert rounding 5- and 6-bit
// channels differently; JPEG decoders may differ by a little more.
const Folder folders[] = {
    {"bmp/bmpsuite/good", Expect::Read, "Windows Bitmap", 1},
    {"bmp/bmpsuite/questionable", Expect::Either, "Windows Bitmap", 0},
    {"bmp/bmpsuite/bad", Expect::Fail, nullptr, 0},
    {"bmp/image-rs", Expect::Read, "Windows Bitmap", 1},
    {"bmp/image-rs/bad", Expect::Fail, nullptr, 0},
    {"tga/pillow", Expect::Read, "Truevision Targa", 1, targa},
    {"tga/pillow/bad", Expect::Fail, nullptr, 0},
    {"tga/image-rs", Expect::Read, "Truevision Targa", 1, targa},
    {"tga/image-rs/bad", Expect::Fail, nullptr, 0},
    {"tiff/libtiff", Expect::Read, "Tagged Image File Format", 1},
    {"tiff/libtiff/bad", Expect::Fail, nullptr, 0},
    {"tiff/pillow", Expect::Read, "Tagged Image File Format", 1},
    {"tiff/pillow/bad", Expect::Fail, nullptr, 0},
    {"jpeg/libjpeg-turbo", Expect::Read, "JPEG", 2},
    {"jpeg/jpeg-decoder", Expect::Read, "JPEG", 2},
    {"jpeg/jpeg-decoder/mozilla", Expect::Read, "JPEG", 2},
    {"jpeg/jpeg-decoder/bad", Expect::Fail, nullptr, 0},
    {"jpeg/pillow", Expect::Read, "JPEG", 2},
    {"jpeg/pillow/bad", Expect::Fail, nullptr, 0},
};

struct Exception {
    Expect expect;
    int tolerance;
    const char *reference;  // another file convert decodes right, or null for the file itself
    const char *options;
    const char *why;
};

constexpr const char *over_black = "-background black -alpha remove";

// Files that differ from their folder's rule, mostly where convert is the one that is wrong.
const std::map<std::string, Exception> exceptions = {
    {"jpeg/libjpeg-turbo/monkey12.jpg", {Expect::Fail, 0, nullptr, "", "12-bit samples"}},
    {"jpeg/jpeg-decoder/bad/dc-predictor-overflow.jpg",
     {Expect::Either, 0, nullptr, "", "libjpeg decodes it; it crashed other decoders"}},
    {"bmp/bmpsuite/bad/badbitssize.bmp", {Expect::Read, 1, nullptr, "", "size field not needed"}},
    {"bmp/bmpsuite/bad/baddens1.bmp", {Expect::Read, 1, nullptr, "", "density not needed"}},
    {"bmp/bmpsuite/bad/baddens2.bmp", {Expect::Read, 1, nullptr, "", "density not needed"}},
    {"bmp/bmpsuite/bad/badfilesize.bmp", {Expect::Either, 0, nullptr, "", "file size not needed"}},
    {"bmp/bmpsuite/bad/badpalettesize.bmp",
     {Expect::Either, 0, nullptr, "", "palette count limited to 2^bits"}},
    {"bmp/image-rs/bad/Bad_clrsUsed.bmp",
     {Expect::Either, 0, nullptr, "", "palette count limited to 2^bits"}},
    {"bmp/image-rs/bad/V5_A8_R8_G8_B8_Rgb_BadMask.bmp",
     {Expect::Read, 1, nullptr, "", "masks unused without bit-field compression"}},
    {"bmp/image-rs/V3_A4_R4_G4_B4.bmp",
     {Expect::Read, 15, nullptr, "", "convert shifts 4-bit channels (15 gives 240, not 255)"}},
    {"tga/image-rs/b5-unused-cmap.tga",
     {Expect::Read, 1, "tga/image-rs/b5-noattrib.tga", "", "convert uses the unused colour map"}},
    {"tga/pillow/200x32_la_bl_raw.tga",
     {Expect::Read, 0, "tga/pillow/200x32_l_bl_raw.tga", targa, "convert: grey+alpha as 5-5-5"}},
    {"tga/pillow/200x32_la_bl_rle.tga",
     {Expect::Read, 0, "tga/pillow/200x32_l_bl_raw.tga", targa, "convert: grey+alpha as 5-5-5"}},
    {"tga/pillow/200x32_la_tl_raw.tga",
     {Expect::Read, 0, "tga/pillow/200x32_l_bl_raw.tga", targa, "convert: grey+alpha as 5-5-5"}},
    {"tga/pillow/200x32_la_tl_rle.tga",
     {Expect::Read, 0, "tga/pillow/200x32_l_bl_raw.tga", targa, "convert: grey+alpha as 5-5-5"}},
    {"tga/pillow/la.tga", {Expect::Either, 0, nullptr, targa, "convert: grey+alpha as 5-5-5"}},
    {"tiff/libtiff/32bpp-None.tiff", {Expect::Read, 1, nullptr, over_black, "alpha"}},
    {"tiff/libtiff/minisblack-2c-8b-alpha.tiff",
     {Expect::Read, 1, nullptr, "-channel R -separate", "convert mixes alpha into its grey"}},
    {"tiff/pillow/pil136.tiff", {Expect::Read, 1, nullptr, over_black, "alpha"}},
    {"tiff/pillow/hopper2I.tif",
     {Expect::Read, 1, "tiff/pillow/hopper2.tif", "", "convert ignores 2-bit MinIsWhite"}},
    {"tiff/pillow/bad/tiff_wrong_bits_per_sample.tiff",
     {Expect::Either, 0, nullptr, "", "libtiff takes the first bits-per-sample value"}},
    {"tiff/pillow/bad/tiff_wrong_bits_per_sample_2.tiff",
     {Expect::Either, 0, nullptr, "", "libtiff takes the first bits-per-sample value"}},
};

struct Case {
    std::string file;  // relative to root
    Expect expect;
    const char *reader;
    int tolerance;
    const char *options;
    std::string reference;  // file decoded by convert, relative to root
};

// Names the file in test output instead of dumping the record's bytes.
void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.file;
}

std::vector<Case> cases()
{
    std::vector<Case> out;
    if (!kiv::test::have_convert())
        return out;
    for (const Folder &f : folders) {
        std::error_code ec;
        for (const auto &entry : fs::directory_iterator(root / f.path, ec)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || ext == ".txt" || ext == ".md")
                continue;
            Case c{fs::relative(entry.path(), root).string(), f.expect, f.reader, f.tolerance,
                   f.options, {}};
            c.reference = c.file;
            if (auto e = exceptions.find(c.file); e != exceptions.end()) {
                c.expect = e->second.expect;
                c.tolerance = e->second.tolerance;
                c.options = e->second.options;
                if (e->second.reference)
                    c.reference = e->second.reference;
            }
            out.push_back(c);
        }
    }
    std::sort(out.begin(), out.end(), [](const Case &a, const Case &b) { return a.file < b.file; });
    return out;
}

class RealImage : public ::testing::TestWithParam<Case> {};

TEST_P(RealImage, MatchesReferenceOrFails)
{
    const Case &c = GetParam();
    const std::string path = (root / c.file).string();
    int index = -1;
    std::unique_ptr<GSbitmap> bitmap(image_reader_invoke(path.c_str(), index));
    if (c.expect == Expect::Fail) {
        EXPECT_EQ(bitmap, nullptr) << c.file << " should be refused";
        EXPECT_EQ(index, 0);
        return;
    }
    if (!bitmap) {
        EXPECT_EQ(c.expect, Expect::Either) << c.file << " was not read";
        return;
    }
    if (c.reader) {
        EXPECT_STREQ(image_reader_get_factory(index)->name(), c.reader);
    }
    bitmap.reset(image_promote_to_32(bitmap.release()));
    const kiv::test::Rgb8 ref = kiv::test::reference_rgb((root / c.reference).string(), c.options);
    if (ref.pixels.empty()) {
        EXPECT_EQ(c.expect, Expect::Either) << "no reference decode of " << c.file;
        return;
    }
    ASSERT_EQ(bitmap->width(), ref.width);
    ASSERT_EQ(bitmap->height(), ref.height);
    int worst = 0, wx = 0, wy = 0;
    for (int y = 0; y < ref.height; ++y) {
        const std::uint8_t *ours = bitmap->row(ref.height - 1 - y);
        const std::uint8_t *theirs = &ref.pixels[static_cast<std::size_t>(y) * ref.width * 3];
        for (int x = 0; x < ref.width; ++x)
            for (int k = 0; k < 3; ++k) {
                const int d = std::abs(ours[4 * x + k] - theirs[3 * x + k]);
                if (d > worst) {
                    worst = d;
                    wx = x;
                    wy = y;
                }
            }
        for (int x = 0; x < ref.width; ++x)
            ASSERT_EQ(ours[4 * x + 3], 255);
    }
    if (c.expect == Expect::Read) {
        EXPECT_LE(worst, c.tolerance) << "worst at (" << wx << ", " << wy << ") from the top";
    }
}

std::string case_name(const ::testing::TestParamInfo<Case> &info)
{
    std::string name = info.param.file;
    for (char &ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
}

TEST(RealImages, SuitesPresent)
{
    if (!fs::is_directory(root))
        GTEST_SKIP() << "no test data at " << root;
    if (!kiv::test::have_convert())
        GTEST_SKIP() << "ImageMagick's convert is missing";
    EXPECT_GT(cases().size(), 200u);
}

INSTANTIATE_TEST_SUITE_P(Suites, RealImage, ::testing::ValuesIn(cases()), case_name);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(RealImage);

} // namespace
