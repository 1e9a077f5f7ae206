// The binary part format: text -> binary -> text round trips, version-1 files, index widths
// at their limits, damaged files with their reasons, a full disk, and the loader factory.
#include <kivctrl/kivctrl.h>

#include <kivctrl/loader.h>

#include "formats/part_support.h"
#include "graphics/gs_object.h"
#include "support/bus_recorder.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using kivtest::build_part;
using kivtest::expect_same;
using kivtest::face_children;
using kivtest::Object;
using kivtest::read_file;
using kivtest::ScratchDir;
using kivtest::snapshot;
using kivtest::write_file;

Object read_part(const std::string &path, GSfileformat fmt)
{
    return Object(GSobject_read(path.c_str(), fmt));
}

// Colours a byte holds exactly, so the binary form keeps them as they are.
void snap_colours(GSobject *obj)
{
    GSmesh &mesh = *static_cast<ADT_Object &>(*obj).mesh;
    auto snap = [](GSpolylist &list) {
        for (GSpoly &p : list.polys)
            for (float &c : p.color)
                c = std::floor(c * 255.0f + 0.5f) / 255.0f;
    };
    snap(mesh);
    for (GSsubmesh *g : mesh.facegroups)
        snap(*g);
}

// The text form of obj, through a file.
std::string text_of(GSobject *obj, const ScratchDir &dir)
{
    const std::string path = dir.file("text_of.kvg");
    EXPECT_TRUE(GSobject_write(obj, path.c_str(), GS_FILE_TEXT));
    return read_file(path);
}

// A part as read from a text file: every record in a face group.
Object through_text(GSobject *obj, const ScratchDir &dir)
{
    EXPECT_TRUE(GSobject_write(obj, dir.file("through.kvg").c_str(), GS_FILE_TEXT));
    return read_part(dir.file("through.kvg"), GS_FILE_TEXT);
}

Object through_binary(GSobject *obj, const ScratchDir &dir)
{
    EXPECT_TRUE(GSobject_write(obj, dir.file("through.kvb").c_str(), GS_FILE_BINARY));
    return read_part(dir.file("through.kvb"), GS_FILE_BINARY);
}

TEST(KvbRoundTrip, TextToBinaryToTextIsByteIdenticalForEveryKindAndGroup)
{
    ScratchDir dir("kvb_round_trip");
    const Object built = build_part();
    snap_colours(built.get());
    // Built directly (own records and face groups), and as read from text (face groups only).
    const Object text = through_text(built.get(), dir);
    ASSERT_TRUE(text);
    for (GSobject *part : {built.get(), text.get()}) {
        const Object back = through_binary(part, dir);
        ASSERT_TRUE(back);
        expect_same(snapshot(part), snapshot(back.get()));
        EXPECT_EQ(face_children(back.get()), 3);
        EXPECT_TRUE(static_cast<ADT_Object &>(*back).mesh->polys.empty());
        EXPECT_EQ(GSobject_npolys(back.get()), GSobject_npolys(part));
    }
    const Object back = through_binary(text.get(), dir);
    EXPECT_EQ(text_of(back.get(), dir), text_of(text.get(), dir));
    // Written again from what it read, the binary file does not change.
    ASSERT_TRUE(GSobject_write(back.get(), dir.file("again.kvb").c_str(), GS_FILE_BINARY));
    EXPECT_EQ(read_file(dir.file("again.kvb")), read_file(dir.file("through.kvb")));
}

TEST(KvbRoundTrip, ColoursAreStoredAsClampedBytes)
{
    ScratchDir dir("kvb_colours");
    Object obj(GSobject_begin());
    float corners[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (float *p : corners) {
        GSvertex v = GSvertex_new(p);
        GSobject_addvertex(obj.get(), &v);
    }
    GSpoly *t = GSpoly_begintriangles(obj.get(), 1);
    for (int i = 0; i < 3; ++i)
        GSpoly_addvertex(t, i);
    GSpoly_setcolor(t, 1.2f, -0.5f, 0.5f);
    GSpoly_close(t);
    const Object back = through_binary(obj.get(), dir);
    ASSERT_TRUE(back);
    const auto groups = snapshot(back.get());
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].at(0).color, (std::array<float, 3>{1.0f, 0.0f, 128 / 255.0f}));
    for (const kivtest::Corner &c : groups[0][0].corners)
        EXPECT_FALSE(c.hasnormal);
}

// A fan of n vertices at random positions (which do not compress) with n / 2 normals, half the
// corners without one.
Object random_fan(int n)
{
    std::mt19937 random(n);
    std::uniform_real_distribution<float> coord(-1000.0f, 1000.0f);
    Object obj(GSobject_begin());
    for (int i = 0; i < n; ++i) {
        float p[3] = {coord(random), coord(random), coord(random)};
        GSvertex v = GSvertex_new(p);
        if (i % 2 == 0) {
            float normal[3] = {std::cos(0.01f * i), std::sin(0.01f * i), 0.5f};
            GSvertex_setnormal(&v, normal);
        }
        GSobject_addvertex(obj.get(), &v);
    }
    GSpoly *fan = GSpoly_begintrifan(obj.get(), n);
    for (int i = 0; i < n; ++i)
        GSpoly_addvertex(fan, i);
    GSpoly_close(fan);
    GSobject_close(obj.get(), 0.0f);
    return obj;
}

class KvbIndexWidths : public testing::TestWithParam<int> {};

TEST_P(KvbIndexWidths, RandomMeshReadsBackTheSame)
{
    ScratchDir dir("kvb_widths");
    const Object obj = random_fan(GetParam());
    ASSERT_EQ(static_cast<ADT_Object &>(*obj).mesh->vertexcount(), size_t(GetParam()));
    const Object back = through_binary(obj.get(), dir);
    ASSERT_TRUE(back);
    expect_same(snapshot(obj.get()), snapshot(back.get()));
}

INSTANTIATE_TEST_SUITE_P(VertexCounts, KvbIndexWidths, testing::Values(3, 255, 256, 65535, 65536, 70000),
                         [](const testing::TestParamInfo<int> &info) { return "Vertices" + std::to_string(info.param); });

// Version-1 files: doubles, no compression, u32 indices.
class V1Writer {
public:
    V1Writer() { bytes_ = std::string("\x11GVK\x20\0\0\x20", 8); }
    void u32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes_ += static_cast<char>(v >> (8 * i));
    }
    void f32(float v)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void f64(double v)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        u32(static_cast<std::uint32_t>(bits));
        u32(static_cast<std::uint32_t>(bits >> 32));
    }
    const std::string &bytes() const { return bytes_; }

private:
    std::string bytes_;
};

std::string version1_of(GSobject *obj)
{
    const GSmesh &mesh = *static_cast<ADT_Object &>(*obj).mesh;
    V1Writer w;
    for (float b : mesh.bounds)
        w.f64(b);
    for (float m : mesh.midpoint)
        w.f64(m);
    w.u32(static_cast<std::uint32_t>(mesh.vertexcount()));
    for (float v : mesh.vertices)
        w.f64(v);
    w.u32(static_cast<std::uint32_t>(mesh.normalcount()));
    for (float n : mesh.normals)
        w.f64(n);
    w.u32(static_cast<std::uint32_t>(mesh.facegroups.size()));
    w.u32(0);
    w.u32(0);
    for (const GSsubmesh *g : mesh.facegroups) {
        for (float b : g->bounds)
            w.f64(b);
        w.u32(static_cast<std::uint32_t>(g->polys.size()));
        w.u32(0);
        for (const GSpoly &p : g->polys) {
            w.u32(static_cast<std::uint32_t>(p.kind));
            for (float c : p.color)
                w.f32(c);
            w.u32(static_cast<std::uint32_t>(p.corners.size()));
            for (const GScorner &c : p.corners) {
                w.u32(static_cast<std::uint32_t>(c.vertex));
                w.u32(static_cast<std::uint32_t>(c.normal));
            }
        }
    }
    return w.bytes();
}

TEST(KvbRead, VersionOneReadsAsTheVersionTwoFileWrittenFromIt)
{
    ScratchDir dir("kvb_v1");
    const Object built = build_part();
    snap_colours(built.get());
    const Object text = through_text(built.get(), dir);
    ASSERT_TRUE(text);
    write_file(dir.file("v1.kvb"), version1_of(text.get()));
    const Object v1 = read_part(dir.file("v1.kvb"), GS_FILE_BINARY);
    ASSERT_TRUE(v1);
    expect_same(snapshot(text.get()), snapshot(v1.get()));
    const Object v2 = through_binary(v1.get(), dir);
    ASSERT_TRUE(v2);
    expect_same(snapshot(v1.get()), snapshot(v2.get()));
    EXPECT_EQ(face_children(v1.get()), 3);
}

// A triangle in version 2, every block stored raw (R < S), with the fields a case damages.
struct Triangle {
    std::uint32_t declared_vertices = 3;
    float vertex_x = 1.0f;
    std::uint16_t normal_code = 1;
    std::uint32_t groups = 1;
    std::uint8_t kind = 4;
    std::uint32_t corners = 3;
    std::uint8_t vertex_index = 2;
    std::uint8_t normal_index = 0;
    std::string trailing;
    std::uint32_t body_size_delta = 0;
};

void put32(std::string &s, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>(v >> (8 * i));
}

void putf(std::string &s, float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    put32(s, bits);
}

std::string raw_block(const std::string &data, std::uint32_t size_delta = 0)
{
    std::string b;
    put32(b, static_cast<std::uint32_t>(data.size()) + size_delta);
    put32(b, static_cast<std::uint32_t>(data.size()) + size_delta + 1);
    return b + data;
}

std::string triangle_file(const Triangle &t)
{
    std::string body;
    for (float v : {0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.5f, 0.5f, 0.0f})
        putf(body, v);
    put32(body, t.declared_vertices);
    std::string vertices;
    for (float v : {0.0f, 0.0f, 0.0f, t.vertex_x, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f})
        putf(vertices, v);
    body += raw_block(vertices);
    put32(body, 1);
    body += raw_block(std::string{static_cast<char>(t.normal_code), static_cast<char>(t.normal_code >> 8)});
    put32(body, t.groups);
    put32(body, 1);
    put32(body, 1);
    for (float v : {0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f})
        putf(body, v);
    put32(body, 1);
    put32(body, 1);
    body += std::string{static_cast<char>(t.kind), '\xff', '\x80', '\0'};
    put32(body, t.corners);
    std::string corners{0, 0, 1, 0, static_cast<char>(t.vertex_index), static_cast<char>(t.normal_index)};
    if (t.corners == 4)
        corners += std::string{0, '\xff'};
    body += raw_block(corners);
    body += t.trailing;
    return std::string("\x21GVK\x20\0\0\x20", 8) + raw_block(body, t.body_size_delta);
}

TEST(KvbRead, HandMadeTriangleWithRawBlocks)
{
    ScratchDir dir("kvb_triangle");
    write_file(dir.file("t.kvb"), triangle_file({}));
    const Object obj = read_part(dir.file("t.kvb"), GS_FILE_BINARY);
    ASSERT_TRUE(obj);
    const auto groups = snapshot(obj.get());
    ASSERT_EQ(groups.size(), 1u);
    const kivtest::Record &r = groups[0].at(0);
    EXPECT_EQ(r.kind, GS_TRIANGLES);
    EXPECT_EQ(r.color, (std::array<float, 3>{1.0f, 128 / 255.0f, 0.0f}));
    ASSERT_EQ(r.corners.size(), 3u);
    kivtest::expect_near(r.corners[2].position, {0, 1, 0});
    kivtest::expect_near(r.corners[2].normal, {0, 1, 0});
}

TEST(KvbRead, DamagedFilesFailWithTheirReason)
{
    ScratchDir dir("kvb_damaged");
    const std::string good = triangle_file({});
    auto with = [](auto change) {
        Triangle t;
        change(t);
        return triangle_file(t);
    };
    const struct {
        const char *name;
        std::string bytes;
        const char *reason;
    } cases[] = {
        {"empty", "", "not a KVG binary part file"},
        {"text part", "KVG Version 1.2\n", "not a KVG binary part file"},
        {"version 3", std::string("\x31GVK", 4) + good.substr(4), "not a KVG binary part file"},
        {"header only", good.substr(0, 8), "the body block is damaged"},
        {"truncated body", good.substr(0, good.size() - 5), "the body block is damaged"},
        {"body larger than the file", with([](Triangle &t) { t.body_size_delta = 1000000000; }),
         "the body block is damaged"},
        {"more vertices than stored", with([](Triangle &t) { t.declared_vertices = 0x40000000; }),
         "the vertex block holds 36 bytes instead of 12884901888"},
        {"infinite vertex", with([](Triangle &t) { t.vertex_x = INFINITY; }), "a number in the vertices is not finite"},
        {"normal code 0", with([](Triangle &t) { t.normal_code = 0; }), "normal 0 has code 0, which is no direction"},
        {"billions of face groups", with([](Triangle &t) { t.groups = 4000000000u; }), "the file ends in the bounds"},
        {"kind 10", with([](Triangle &t) { t.kind = 10; }), "polygon kind 10 is not one of 0 to 9"},
        {"corners beyond the block", with([](Triangle &t) { t.corners = 1000000; }),
         "the corner block holds 6 bytes instead of 2000000"},
        {"partial triangles", with([](Triangle &t) { t.corners = 4; }),
         "a TRIANGLES record needs a multiple of 3 corners, it has 4"},
        {"vertex index", with([](Triangle &t) { t.vertex_index = 3; }), "vertex index 3 is outside the 3 vertices"},
        {"normal index", with([](Triangle &t) { t.normal_index = 1; }), "normal index 1 is outside the 1 normals"},
        {"trailing data", with([](Triangle &t) { t.trailing = "x"; }), "unexpected data after the last face group"},
        {"version 1 cut short", std::string("\x11GVK\x20\0\0\x20", 8) + std::string(40, '\0'),
         "the file ends in the bounds"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file("damaged.kvb");
        write_file(path, c.bytes);
        kivtest::BusRecorder reports(MSG_ERROR);
        EXPECT_FALSE(read_part(path, GS_FILE_BINARY));
        ASSERT_EQ(reports.error_texts().size(), 1u);
        EXPECT_EQ(reports.error_texts()[0], "Cannot read the part file " + path + ": " + c.reason);
    }
}

TEST(KvbWrite, FullDiskIsReportedAsFailure)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const Object part = build_part();
    kivtest::BusRecorder reports(MSG_ERROR);
    EXPECT_FALSE(GSobject_write(part.get(), "/dev/full", GS_FILE_BINARY));
    EXPECT_FALSE(GSobject_write(part.get(), "/dev/full", GS_FILE_TEXT));
    EXPECT_EQ(reports.error_texts().size(), 2u);
}

TEST(KvbLoader, RegisteredAsTheBinaryPartLoader)
{
    LoaderFactory *f = loader_get_factory("kiv binary part");
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(f->name(), "KIV Binary Part");
    EXPECT_STREQ(f->suffix(), "kvb");
    EXPECT_EQ(f->hints(), 130);
    EXPECT_EQ(f->priority(), 10090);
}

TEST(KvbLoader, ProbeTakesBothVersionsByExtensionAndMagic)
{
    ScratchDir dir("kvb_probe");
    const std::string v2 = triangle_file({});
    const std::string v1 = std::string("\x11GVK\x20\0\0\x20", 8);
    const struct {
        const char *name;
        std::string bytes;
        int legal;
    } cases[] = {
        {"v2.kvb", v2, LOADER_GEOMETRY},     {"v1.KVB", v1, LOADER_GEOMETRY},
        {"v2.kvgb", v2, LOADER_GEOMETRY},    {"v2.kvg", v2, LOADER_NOT_TAKEN},
        {"text.kvb", "KVG Version 1.2\n", LOADER_NOT_TAKEN}, {"short.kvb", "\x21GV", LOADER_NOT_TAKEN},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        write_file(dir.file(c.name), c.bytes);
        EXPECT_EQ(loader_legal("KIV Binary Part", nullptr, nullptr, dir.file(c.name).c_str(), nullptr), c.legal);
    }
    EXPECT_EQ(loader_legal("KIV Binary Part", nullptr, nullptr, dir.file("absent.kvb").c_str(), nullptr), 0);
}

TEST(KvbLoader, InvokeReadsThePartWithItsPivotAtTheOrigin)
{
    ScratchDir dir("kvb_invoke");
    const std::string path = dir.file("loaded.kvb");
    write_file(path, triangle_file({}));
    void *geometry = nullptr;
    int index = 0;
    ASSERT_EQ(loader_invoke(nullptr, nullptr, path.c_str(), nullptr, &geometry, &index), LOADER_GEOMETRY);
    const Object obj(static_cast<GSobject *>(geometry));
    ASSERT_TRUE(obj);
    EXPECT_EQ(index, loader_get_index(loader_get_factory("KIV Binary Part")));
    float pivot[3];
    GSobject_getpivot(obj.get(), pivot, GS_FRAME_LOCAL);
    kivtest::expect_near({pivot[0], pivot[1], pivot[2]}, {0, 0, 0});

    const std::string broken = dir.file("broken.kvb");
    write_file(broken, triangle_file({}).substr(0, 30));
    geometry = &geometry;
    EXPECT_EQ(loader_invoke("KIV Binary Part", nullptr, nullptr, broken.c_str(), nullptr, &geometry), LOADER_NOT_TAKEN);
}

} // namespace
