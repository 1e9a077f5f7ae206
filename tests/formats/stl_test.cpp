// The facet readers (text STL and SLP, binary STL) and their three loader factories.
#include <kivctrl/kivctrl.h>
#include <kivctrl/loader.h>

#include "formats/stl_binary.h"
#include "support/bus_recorder.h"
#include "formats/stl_text.h"
#include "formats/stl_support.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace {

using kiv::formats::FacetDialect;
using kiv::formats::read_facet_text;
using kiv::formats::read_stl_binary;
using kivtest::Corner;
using kivtest::Facet;
using kivtest::primitives;

std::span<const uint8_t> bytes(const std::string &s)
{
    return {reinterpret_cast<const uint8_t *>(s.data()), s.size()};
}

// A facet in text form with the given normals (each "x y z") and vertices.
std::string facet(const std::vector<std::string> &normals, const std::vector<std::string> &vertices)
{
    std::string out = "facet\n";
    for (const auto &n : normals) out += " normal " + n + "\n";
    out += " outer loop\n";
    for (const auto &v : vertices) out += "  vertex " + v + "\n";
    return out + " endloop\nendfacet\n";
}

std::string triangle(const std::string &normal = "0 0 1", const std::string &z = "0")
{
    return "facet normal " + normal + "\n outer loop\n  vertex 0 0 " + z + "\n  vertex 1 0 " + z + "\n  vertex 0 1 " + z +
           "\n endloop\nendfacet\n";
}

struct TextCase {
    const char *name;
    std::string text;
    FacetDialect dialect;
    int primitives;  // -1: refused
    const char *error = "";
};

class TextCases : public testing::TestWithParam<TextCase> {};

TEST_P(TextCases, ReadOrRefuse)
{
    const TextCase &c = GetParam();
    kiv::formats::FacetRead r = read_facet_text(c.text, c.dialect);
    if (c.primitives < 0) {
        EXPECT_EQ(r.object, nullptr);
        EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
        return;
    }
    ASSERT_NE(r.object, nullptr) << r.error;
    EXPECT_EQ(GSobject_npolys(r.object.get()), c.primitives);
    float pivot[3] = {1, 1, 1};
    GSobject_getpivot(r.object.get(), pivot, GS_FRAME_LOCAL);
    EXPECT_EQ(pivot[0], 0.0f);
    EXPECT_EQ(pivot[1], 0.0f);
    EXPECT_EQ(pivot[2], 0.0f);
}

const std::string square = "0 0 0", sq1 = "1 0 0", sq2 = "1 1 0", sq3 = "0 1 0";

INSTANTIATE_TEST_SUITE_P(
    Stl, TextCases,
    testing::Values(
        TextCase{"TwoFacets", "solid a\n" + triangle() + triangle("0 0 1", "1") + "endsolid a\n", FacetDialect::stl, 2},
        TextCase{"UpperCaseCrlfAndSplitEnds",
                 "  SOLID x\r\n FACET NORMAL 0 0 1\r\n OUTER LOOP\r\n VERTEX 0 0 0\r\n\tVERTEX 1E0 0 0\r\n"
                 "VERTEX 0 +1.0 -0\r\n END LOOP\r\n END FACET\r\nEND SOLID x",
                 FacetDialect::stl, 1},
        TextCase{"EverySolidIsKept", "solid a\n" + triangle() + "endsolid\nsolid empty\nendsolid\nsolid b\n" +
                                         triangle("0 0 1", "2") + "endsolid b\n",
                 FacetDialect::stl, 2},
        TextCase{"EmptySolid", "solid e\nendsolid e\n", FacetDialect::stl, 0},
        TextCase{"NumbersRunTogether", "solid a\nfacet normal 0 0 1\nouter loop\nvertex 1.0-2.0 3\nvertex .5 0 0\n"
                                       "vertex 0 1e-50 0\nendloop\nendfacet\nendsolid\n",
                 FacetDialect::stl, 1},
        TextCase{"NamesAreSkipped", "solid 中文 1.2.3 blah\n" + triangle() + "endsolid 中文 \x7e 9e\n", FacetDialect::stl, 1},
        TextCase{"QuadAndPentagonInSlp",
                 "solid p\n" + facet({}, {square, sq1, sq2, sq3}) + facet({}, {square, sq1, sq2, sq3, "0.5 2 0"}) + "endsolid\n",
                 FacetDialect::slp, 2},
        TextCase{"NoEndsolid", "solid a\n" + triangle(), FacetDialect::stl, -1, "no \"endsolid\""},
        TextCase{"NoSolid", triangle(), FacetDialect::stl, -1, "outside a solid"},
        TextCase{"Empty", "", FacetDialect::stl, -1, "no solid"},
        TextCase{"VertexOutsideFacet", "solid a\nvertex 0 0 0\nendsolid\n", FacetDialect::stl, -1, "outside a facet"},
        TextCase{"WordForNumber", "solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 blah\n", FacetDialect::stl, -1,
                 "line 4: three numbers expected after \"vertex\""},
        TextCase{"BrokenNumber", "solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 2.0e+0x1\n", FacetDialect::stl, -1,
                 "malformed number"},
        TextCase{"TwoPoints", "solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 1.2.3\n", FacetDialect::stl, -1,
                 "malformed number"},
        TextCase{"ControlCharacter", "solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 2.0e+0 \x10 1\n",
                 FacetDialect::stl, -1, "control character"},
        TextCase{"CoordinateOverflow", "solid a\n" + facet({"0 0 1"}, {"1e39 0 0", sq1, sq2}) + "endsolid\n",
                 FacetDialect::stl, -1, "out of range"},
        TextCase{"InfiniteCoordinate", "solid a\n" + facet({"0 0 1"}, {"-inf 0 0", sq1, sq2}) + "endsolid\n",
                 FacetDialect::stl, -1, "out of range"},
        TextCase{"QuadInStl", "solid a\n" + facet({"0 0 1"}, {square, sq1, sq2, sq3}) + "endsolid\n", FacetDialect::stl,
                 -1, "more than three"},
        TextCase{"TwoVertices", "solid a\n" + facet({"0 0 1"}, {square, sq1}) + "endsolid\n", FacetDialect::slp, -1,
                 "fewer than three"},
        TextCase{"OuterWithoutLoop", "solid a\nfacet normal 0 0 1\nouter\nvertex 0 0 0\n", FacetDialect::stl, -1,
                 "\"loop\" expected"},
        TextCase{"SolidInSolid", "solid a\nsolid b\n", FacetDialect::stl, -1, "inside a solid"},
        TextCase{"FacetInFacet", "solid a\nfacet\nfacet\n", FacetDialect::stl, -1, "inside a facet"},
        TextCase{"EndsInsideVertex", "solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0", FacetDialect::stl, -1,
                 "ends inside a record"}),
    [](const testing::TestParamInfo<TextCase> &info) { return std::string(info.param.name); });

float length(const std::array<float, 3> &n)
{
    return std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
}

// Two facets folded by 30 degrees along the edge x = 0..1, y = 0.
std::string folded(const std::string &n1, const std::string &n2, int normals_per_facet)
{
    auto f = [normals_per_facet](const std::string &n, const std::string &apex) {
        return facet(std::vector<std::string>(size_t(normals_per_facet), n), {"0 0 0", "1 0 0", apex});
    };
    return "solid f\n" + f(n1, "0 1 0") + f(n2, "0 -0.866025 -0.5") + "endsolid\n";
}

TEST(StlText, OneNormalPerFacetSmoothsWithinFortyDegrees)
{
    // One normal each: crease angle 40 joins the two normals along the shared edge.
    auto one = read_facet_text(folded("0 0 1", "0 -0.5 0.866025", 1), FacetDialect::stl);
    ASSERT_NE(one.object, nullptr) << one.error;
    const auto prims = primitives(one.object.get());
    ASSERT_EQ(prims.size(), 2u);
    const Corner &shared = prims[0].corners[0];
    ASSERT_TRUE(shared.hasnormal);
    EXPECT_NEAR(shared.normal[1], -0.2588f, 0.02f);  // half way: 15 degrees off +z

    // Three normals each: every vertex keeps its own, crease angle 0.
    auto three = read_facet_text(folded("0 0 1", "0 -0.5 0.866025", 3), FacetDialect::stl);
    ASSERT_NE(three.object, nullptr) << three.error;
    const auto kept = primitives(three.object.get());
    EXPECT_NEAR(kept[0].corners[0].normal[1], 0.0f, 0.02f);
    EXPECT_NEAR(kept[1].corners[0].normal[1], -0.5f, 0.02f);
}

// A normal of zero length or without a number counts as absent: the facet's winding gives
// it, before smoothing. Non-zero normals are kept as written, even against the winding.
TEST(StlText, NormalsWithoutDirectionTakeTheWinding)
{
    const std::vector<std::string> ccw = {"0 0 0", "1 0 0", "0 1 0"}, cw = {"0 0 0", "0 1 0", "1 0 0"};
    const struct Case {
        const char *what;
        std::string facet;
        FacetDialect dialect;
        std::vector<std::array<float, 3>> normals;  // per corner; empty: none
    } cases[] = {
        {"scaled", facet({"0 0 2"}, ccw), FacetDialect::stl, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}},
        {"against the winding", facet({"0 0 -1"}, ccw), FacetDialect::stl, {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}}},
        {"zero", facet({"0 0 0"}, ccw), FacetDialect::stl, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}},
        {"zero, clockwise", facet({"0 0 0"}, cw), FacetDialect::stl, {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}}},
        {"not a number", facet({"nan nan nan"}, ccw), FacetDialect::stl, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}},
        {"no normal record", facet({}, ccw), FacetDialect::stl, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}},
        {"zero area", facet({"0 0 0"}, {"0 0 0", "1 1 1", "2 2 2"}), FacetDialect::stl, {}},
        {"one zero corner", facet({"1 0 0", "0 0 0", "0 1 0"}, ccw), FacetDialect::slp,
         {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}}},
    };
    for (const Case &c : cases) {
        auto r = read_facet_text("solid n\n" + c.facet + "endsolid\n", c.dialect);
        ASSERT_NE(r.object, nullptr) << c.what << ": " << r.error;
        const auto prims = primitives(r.object.get());
        ASSERT_EQ(prims.size(), 1u) << c.what;
        for (size_t k = 0; k < 3; ++k) {
            const Corner &got = prims[0].corners[k];
            ASSERT_EQ(got.hasnormal, !c.normals.empty()) << c.what << " corner " << k;
            for (int i = 0; got.hasnormal && i < 3; ++i)
                EXPECT_NEAR(got.normal[size_t(i)], c.normals[k][size_t(i)], 0.02f) << c.what << " corner " << k;
        }
    }

    // Winding normals are smoothed like given ones: the fold of 30 degrees is crossed.
    const std::string fold = "solid f\n" + facet({"0 0 0"}, ccw) +
                             facet({"0 0 0"}, {"1 0 0", "0 0 0", "0 -0.866025 -0.5"}) + "endsolid\n";
    auto r = read_facet_text(fold, FacetDialect::stl);
    ASSERT_NE(r.object, nullptr) << r.error;
    const auto prims = primitives(r.object.get());
    const Corner &shared = prims[0].corners[0];
    ASSERT_TRUE(shared.hasnormal);
    EXPECT_NEAR(shared.normal[1], -0.2588f, 0.02f);
    EXPECT_NEAR(shared.normal[2], 0.9659f, 0.02f);
}

TEST(StlText, MoreThanAHundredNormalsInOneFacet)
{
    // A polygon of 150 corners round a cone, each with its own normal: none is dropped and
    // nothing overflows.
    std::vector<std::string> normals, vertices;
    const int n = 150;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * M_PI * i / n;
        normals.push_back(std::to_string(std::cos(a)) + " 0.3 " + std::to_string(std::sin(a)));
        vertices.push_back(std::to_string(std::cos(a)) + " 0 " + std::to_string(std::sin(a)));
    }
    // And a triangle with 300 normals: the first three are used.
    std::vector<std::string> many(300, "1 0 0");
    many[0] = many[1] = many[2] = "0 1 0";
    const std::string text = "solid c\n" + facet(normals, vertices) + facet(many, {"0 5 0", "1 5 0", "0 5 1"}) + "endsolid\n";
    auto r = read_facet_text(text, FacetDialect::slp);
    ASSERT_NE(r.object, nullptr) << r.error;
    const auto prims = primitives(r.object.get());
    ASSERT_EQ(prims.size(), 2u);
    ASSERT_EQ(prims[0].corners.size(), size_t(n));
    for (int i = 0; i < n; ++i) {
        const auto &c = prims[0].corners[size_t(i)];
        ASSERT_TRUE(c.hasnormal);
        const float expect_x = static_cast<float>(std::cos(2 * M_PI * i / n) / std::sqrt(1.09));
        EXPECT_NEAR(c.normal[0], expect_x, 0.02f) << i;
    }
    for (const auto &c : prims[1].corners) EXPECT_NEAR(c.normal[1], 1.0f, 0.02f);
}

TEST(StlText, FewerNormalsThanVerticesReuseTheLast)
{
    const std::string text = "solid r\n" + facet({"0 0 1", "1 0 0"}, {"0 0 0", "0 1 0", "0 0 1"}) + "endsolid\n";
    auto r = read_facet_text(text, FacetDialect::slp);
    ASSERT_NE(r.object, nullptr) << r.error;
    const auto prims = primitives(r.object.get());
    ASSERT_EQ(prims.size(), 1u);
    EXPECT_NEAR(prims[0].corners[0].normal[2], 1.0f, 0.02f);
    EXPECT_NEAR(prims[0].corners[1].normal[0], 1.0f, 0.02f);
    EXPECT_NEAR(prims[0].corners[2].normal[0], 1.0f, 0.02f);
}

TEST(StlText, ColourRecordsColourTheFacetsAfterThem)
{
    const std::string text = "solid c\n" + triangle() + "color 1 0 0\n" + triangle("0 0 1", "1") + triangle("0 0 1", "2") +
                             "color 0 0.5 1\n" + triangle("0 0 1", "3") + "endsolid\n";
    auto r = read_facet_text(text, FacetDialect::slp);
    ASSERT_NE(r.object, nullptr) << r.error;
    std::vector<std::array<float, 3>> colours;
    for (const auto &p : primitives(r.object.get())) colours.push_back(p.color);
    const std::vector<std::array<float, 3>> expect = {{1, 1, 1}, {1, 0, 0}, {1, 0, 0}, {0, 0.5f, 1}};
    EXPECT_EQ(colours, expect);  // same-coloured facets share one record
}

TEST(StlText, PiecesGiveTheSameObjectAsTheWholeText)
{
    std::string text = "solid pieces with a long name\n";
    for (int i = 0; i < 40; ++i) text += triangle("0 0.6 0.8", std::to_string(i * 0.125) + "e+00");
    text += "endsolid\n";
    kivtest::ScratchDir dir("stl_pieces");
    kivtest::write_file(dir.file("p.stl"), text);
    auto whole = read_facet_text(text, FacetDialect::stl);
    ASSERT_NE(whole.object, nullptr) << whole.error;
    for (size_t chunk : {size_t(16), size_t(37), size_t(4096)}) {
        auto pieces = kiv::formats::read_facet_text_file(dir.file("p.stl"), FacetDialect::stl, chunk);
        ASSERT_NE(pieces.object, nullptr) << pieces.error;
        const auto a = primitives(whole.object.get()), b = primitives(pieces.object.get());
        ASSERT_EQ(a.size(), b.size()) << chunk;
        for (size_t i = 0; i < a.size(); ++i)
            for (size_t c = 0; c < 3; ++c) EXPECT_EQ(a[i].corners[c].position, b[i].corners[c].position);
    }
}

TEST(StlText, TwoFilesAtOnce)
{
    // Each read keeps its own state: the control's thread and the geometry loading thread
    // may read text facet files at the same time.
    kivtest::ScratchDir dir("stl_threads");
    std::string a = "solid a\n", b = "solid b\ncolor 0 1 0\n";
    for (int i = 0; i < 300; ++i) a += triangle("0 0 1", std::to_string(i));
    for (int i = 0; i < 200; ++i) b += triangle("0 1 0", std::to_string(-i));
    kivtest::write_file(dir.file("a.stl"), a + "endsolid\n");
    kivtest::write_file(dir.file("b.slp"), b + "endsolid\n");
    auto reads = [&dir](const char *name, FacetDialect d, int expect, int &ok) {
        for (int i = 0; i < 10; ++i) {
            auto r = kiv::formats::read_facet_text_file(dir.file(name), d, 64);
            ok += r.object && GSobject_npolys(r.object.get()) == expect;
        }
    };
    int oka = 0, okb = 0;
    std::thread ta(reads, "a.stl", FacetDialect::stl, 300, std::ref(oka));
    std::thread tb(reads, "b.slp", FacetDialect::slp, 200, std::ref(okb));
    ta.join();
    tb.join();
    EXPECT_EQ(oka, 10);
    EXPECT_EQ(okb, 10);
}

std::vector<Facet> two_facets()
{
    return {{{0, 0, 2}, {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}}}, {{0, 0, 1}, {{{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}}}};
}

TEST(StlBinary, SizeMustMatchTheCount)
{
    const std::string good = kivtest::binary_stl("bin", two_facets());
    ASSERT_EQ(good.size(), 184u);
    auto r = read_stl_binary(bytes(good));
    ASSERT_NE(r.object, nullptr) << r.error;
    EXPECT_EQ(GSobject_npolys(r.object.get()), 2);
    for (const auto &p : primitives(r.object.get()))
        for (const auto &c : p.corners) EXPECT_NEAR(length(c.normal), 1.0f, 1e-3f);

    const std::string cases[] = {
        good.substr(0, 183),                                  // one byte short
        good + "x",                                           // one byte over
        kivtest::binary_stl("bin", {}),                       // no facets
        kivtest::binary_stl("bin", two_facets(), 0, 1u << 30),  // a count far beyond the file
        kivtest::binary_stl("bin", two_facets(), 0, 0xffffffffu - 1),
        good.substr(0, 50),                                   // shorter than the header
    };
    for (const std::string &bad : cases) EXPECT_EQ(read_stl_binary(bytes(bad)).object, nullptr) << bad.size();
}

TEST(StlBinary, NonFiniteVertexRefusedNormalWithoutDirectionTakesTheWinding)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto facets = two_facets();
    for (const std::array<float, 3> none : {std::array<float, 3>{nan, nan, nan}, std::array<float, 3>{0, 0, 0}}) {
        facets[0].normal = facets[1].normal = none;
        auto r = read_stl_binary(bytes(kivtest::binary_stl("n", facets)));
        ASSERT_NE(r.object, nullptr) << r.error;
        EXPECT_EQ(GSobject_npolys(r.object.get()), 2);
        for (const auto &p : primitives(r.object.get()))
            for (const auto &c : p.corners) {
                ASSERT_TRUE(c.hasnormal);
                EXPECT_NEAR(c.normal[2], 1.0f, 1e-3f);
            }
    }

    for (float bad : {nan, std::numeric_limits<float>::infinity()}) {
        facets = two_facets();
        facets[1].v[2][1] = bad;
        auto refused = read_stl_binary(bytes(kivtest::binary_stl("n", facets)));
        EXPECT_EQ(refused.object, nullptr);
        EXPECT_NE(refused.error.find("facet 2"), std::string::npos) << refused.error;
    }
}

// The factories, through the registry.
class StlLoaders : public testing::Test {
protected:
    kivtest::ScratchDir dir{"stl_loaders"};

    std::string write(const std::string &name, const std::string &content)
    {
        kivtest::write_file(dir.file(name), content);
        return dir.file(name);
    }

    // The name of the factory that loaded the file and the object's primitive count, or
    // "" and -1.
    std::pair<std::string, int> invoke(const std::string &file)
    {
        void *geometry = nullptr;
        int index = 0;
        const int result = loader_invoke(nullptr, nullptr, file.c_str(), nullptr, &geometry, &index);
        if (result != LOADER_GEOMETRY || !geometry) return {"", -1};
        auto *obj = static_cast<GSobject *>(geometry);
        const int n = GSobject_npolys(obj);
        GSobject_delete(obj);
        return {loader_get_factory(index)->name(), n};
    }
};

TEST_F(StlLoaders, RegisteredInOrder)
{
    struct Expect {
        const char *name;
        const char *suffix;
        int priority;
    } expect[] = {{"Pro/E Render File", "slp", 4100}, {"Stereolithography", "stl", 4090}, {"Stereolithography (binary)", "stl", 4080}};
    int previous = 0;
    for (const Expect &e : expect) {
        LoaderFactory *f = loader_get_factory(e.name);
        ASSERT_NE(f, nullptr) << e.name;
        EXPECT_STREQ(f->suffix(), e.suffix);
        EXPECT_EQ(f->priority(), e.priority);
        EXPECT_EQ(f->hints(), 2);
        const int index = loader_get_index(f);
        EXPECT_GT(index, previous);
        previous = index;
    }
}

TEST_F(StlLoaders, TextThenBinary)
{
    const std::string text = "solid t\n" + triangle() + "endsolid t\n";
    EXPECT_EQ(invoke(write("t.stl", text)), std::make_pair(std::string("Pro/E Render File"), 1));

    // A binary file whose header begins with "solid": zero attribute bytes at the end keep
    // the text loaders away; others let them try, fail and pass it on.
    const std::string zero = write("zero.stl", kivtest::binary_stl("solid part", two_facets(), 0));
    EXPECT_EQ(loader_legal("Stereolithography", nullptr, nullptr, zero.c_str(), nullptr), 0);
    EXPECT_EQ(invoke(zero), std::make_pair(std::string("Stereolithography (binary)"), 2));
    const std::string spaces = write("spaces.stl", kivtest::binary_stl("solid part", two_facets(), 0x2020));
    EXPECT_EQ(loader_legal("Stereolithography", nullptr, nullptr, spaces.c_str(), nullptr), 2);
    EXPECT_EQ(invoke(spaces), std::make_pair(std::string("Stereolithography (binary)"), 2));

    // A text file ending in two zero bytes is not text to the text loaders.
    const std::string zeros = write("zeros.stl", text + std::string(2, '\0'));
    EXPECT_EQ(loader_legal("Stereolithography", nullptr, nullptr, zeros.c_str(), nullptr), 0);
    EXPECT_EQ(loader_legal("Pro/E Render File", nullptr, nullptr, zeros.c_str(), nullptr), 0);

    const std::string n2 = kivtest::binary_stl("b", two_facets());
    EXPECT_EQ(loader_legal("Stereolithography (binary)", nullptr, nullptr, write("184.stl", n2).c_str(), nullptr), 2);
    EXPECT_EQ(loader_legal("Stereolithography (binary)", nullptr, nullptr, write("183.stl", n2.substr(0, 183)).c_str(), nullptr), 0);
}

TEST_F(StlLoaders, PolygonsOnlyInSlpFiles)
{
    const std::string quad = "solid q\n" + facet({"0 0 1"}, {square, sq1, sq2, sq3}) + "endsolid\n";
    EXPECT_EQ(invoke(write("q.SLP", quad)), std::make_pair(std::string("Pro/E Render File"), 1));
    EXPECT_EQ(invoke(write("q.stl", quad)).second, -1);
    EXPECT_EQ(invoke(write("q", quad)).second, -1);
}

TEST_F(StlLoaders, BrokenFilesAreNotTaken)
{
    EXPECT_EQ(invoke(write("open.stl", "solid a\n" + triangle())).second, -1);
    EXPECT_EQ(invoke(write("count.stl", kivtest::binary_stl("b", two_facets(), 0, 3))).second, -1);
}

TEST_F(StlLoaders, UnopenableFilesAreReported)
{
    kivtest::BusRecorder errors(MSG_ERROR);
    const std::string missing = dir.file("missing.stl");
    struct {
        const char *factory;
        const char *text;
    } cases[] = {{"Pro/E Render File", "Can not open .slp file"},
                 {"Stereolithography", "Can not open .slp file"},
                 {"Stereolithography (binary)", "Can not open stl binary file"}};
    for (const auto &c : cases) {
        errors.clear();
        std::unique_ptr<Loader> loader(loader_get_factory(c.factory)->create());
        GSobject *obj = reinterpret_cast<GSobject *>(1);
        EXPECT_EQ(loader->load(nullptr, nullptr, missing.c_str(), nullptr, &obj), 0);
        EXPECT_EQ(obj, nullptr);
        EXPECT_EQ(errors.error_formats(), std::vector<std::string>{c.text});
    }
}

}  // namespace
