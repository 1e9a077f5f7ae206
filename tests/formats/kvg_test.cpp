// The text part format: write -> read round trips of built meshes, the reading of
// hand-written files, every rejected file with its reason, and the file forms not yet
// readable or writable.
#include <kivctrl/kivctrl.h>

#include <kivctrl/loader.h>

#include "graphics/gs_object.h"
#include "formats/part_support.h"
#include "support/bus_recorder.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using kivtest::build_part;
using kivtest::Corner;
using kivtest::expect_near;
using kivtest::expect_same;
using kivtest::face_children;
using kivtest::Object;
using kivtest::Record;
using kivtest::snapshot;
using kivtest::read_file;
using kivtest::ScratchDir;
using kivtest::write_file;

const std::string kData = std::string(KIV_SOURCE_DIR) + "/tests/formats/data/kvg/";

Object read_text(const std::string &path)
{
    return Object(GSobject_read(path.c_str(), GS_FILE_TEXT));
}

TEST(KvgRoundTrip, BuiltPartKeepsEveryRecordAndItsOwnPolygonsBecomeTheFirstGroup)
{
    ScratchDir dir("kvg_round_trip");
    const Object part = build_part();
    ASSERT_TRUE(GSobject_write(part.get(), dir.file("part.kvg").c_str(), GS_FILE_TEXT));
    const Object back = read_text(dir.file("part.kvg"));
    ASSERT_TRUE(back);

    const auto before = snapshot(part.get()), after = snapshot(back.get());
    ASSERT_EQ(before.size(), 3u);
    EXPECT_EQ(before[0].size(), 11u);  // ten kinds and a POLYGON that became a second QUADS colour
    expect_same(before, after);
    EXPECT_EQ(face_children(back.get()), 3);
    EXPECT_TRUE(static_cast<ADT_Object &>(*back).mesh->polys.empty());
    EXPECT_EQ(GSobject_npolys(back.get()), GSobject_npolys(part.get()));

    float pos[3], q[4], extents[3];
    GSobject_getposition(back.get(), pos);
    GSobject_getorientation(back.get(), q);
    GSobject_getextents(back.get(), extents);
    EXPECT_EQ(std::vector<float>(pos, pos + 3), std::vector<float>(3, 0.0f));
    EXPECT_EQ(std::vector<float>(q, q + 4), (std::vector<float>{0, 0, 0, 1}));
    EXPECT_EQ(std::vector<float>(extents, extents + 3), (std::vector<float>{2, 1, 3.5f}));
}

TEST(KvgRoundTrip, ReadingAndWritingAgainChangesNothing)
{
    ScratchDir dir("kvg_again");
    const Object part = build_part();
    ASSERT_TRUE(GSobject_write(part.get(), dir.file("a.kvg").c_str(), GS_FILE_TEXT));
    const Object once = read_text(dir.file("a.kvg"));
    ASSERT_TRUE(once);
    ASSERT_TRUE(GSobject_write(once.get(), dir.file("b.kvg").c_str(), GS_FILE_TEXT));
    const Object twice = read_text(dir.file("b.kvg"));
    ASSERT_TRUE(twice);
    ASSERT_TRUE(GSobject_write(twice.get(), dir.file("c.kvg").c_str(), GS_FILE_TEXT));
    EXPECT_EQ(read_file(dir.file("b.kvg")), read_file(dir.file("c.kvg")));
    EXPECT_EQ(face_children(twice.get()), 3);
}

TEST(KvgRoundTrip, UnclosedPartWritesBoundsAndNoPlaceholderNormals)
{
    ScratchDir dir("kvg_unclosed");
    Object obj(GSobject_begin());
    float p[3][3] = {{0, 0, 0}, {4, 0, 0}, {0, 2, 0}};
    for (auto &v : p) {
        GSvertex x = GSvertex_new(v);
        GSobject_addvertex(obj.get(), &x);
    }
    GSpoly *t = GSpoly_begintriangles(obj.get(), 1);
    for (int i = 0; i < 3; ++i)
        GSpoly_addvertex(t, i);
    GSpoly_close(t);
    ASSERT_TRUE(GSobject_write(obj.get(), dir.file("u.kvg").c_str(), GS_FILE_TEXT));
    const Object back = read_text(dir.file("u.kvg"));
    ASSERT_TRUE(back);
    EXPECT_FLOAT_EQ(GSobject_getradius(back.get()), 0.5f * std::sqrt(20.0f));
    const auto groups = snapshot(back.get());
    ASSERT_EQ(groups.size(), 1u);
    for (const Corner &c : groups[0].at(0).corners)
        EXPECT_FALSE(c.hasnormal);
}

TEST(KvgRead, HandWrittenTriangleInBothVersionsAndBothLineEnds)
{
    for (const char *name : {"triangle.kvg", "triangle_v11.kvg", "triangle_crlf.kvg"}) {
        SCOPED_TRACE(name);
        // Binary mode keeps carriage returns, a text-mode file reader drops them.
        for (int flags : {0, QEL_STREAM_BINARY}) {
            std::unique_ptr<QelFileReader> in(QelCreateReaderInstance((kData + name).c_str(), flags));
            const Object obj(GSobject_read(*in, GS_FILE_TEXT));
            ASSERT_TRUE(obj);
            const auto groups = snapshot(obj.get());
            ASSERT_EQ(groups.size(), 1u);
            ASSERT_EQ(groups[0].size(), 1u);
            const Record &r = groups[0][0];
            EXPECT_EQ(r.kind, GS_TRIANGLES);
            ASSERT_EQ(r.corners.size(), 3u);
            expect_near(r.corners[1].position, {1, 0, 0});
            expect_near(r.corners[2].normal, {0, 0, 1});
            EXPECT_EQ(GSobject_npolys(obj.get()), 1);
            float pivot[3];
            GSobject_getpivot(obj.get(), pivot, GS_FRAME_LOCAL);
            expect_near({pivot[0], pivot[1], pivot[2]}, {0.5f, 0.5f, 0});
        }
    }
}

TEST(KvgWrite, WritesTheDocumentedLayout)
{
    ScratchDir dir("kvg_layout");
    const Object obj = read_text(kData + "triangle_crlf.kvg");
    ASSERT_TRUE(obj);
    ASSERT_TRUE(GSobject_write(obj.get(), dir.file("t.kvg").c_str(), GS_FILE_TEXT));
    EXPECT_EQ(read_file(dir.file("t.kvg")), read_file(kData + "triangle.kvg"));
}

// The records a group of the given text makes once read: kind and corner count of each.
std::vector<std::pair<int, size_t>> records_of(const std::string &group)
{
    ScratchDir dir("kvg_records");
    write_file(dir.file("g.kvg"), "KVG Version 1.2\n0 0 0 1 1 0\n0.5 0.5 0\n4\n0 0 0\n1 0 0\n0 1 0\n1 1 0\n0\n"
                                  "1 0 0\n0 0 0 1 1 0\n" + group);
    const Object obj = read_text(dir.file("g.kvg"));
    std::vector<std::pair<int, size_t>> out;
    if (!obj)
        return out;
    const auto groups = snapshot(obj.get());
    for (const Record &r : groups.at(0))
        out.emplace_back(r.kind, r.corners.size());
    return out;
}

TEST(KvgRead, RecordsCloseAsTheyAreRead)
{
    using R = std::vector<std::pair<int, size_t>>;
    // Same colour merges; another colour stays apart; a four-corner POLYGON is a quad.
    EXPECT_EQ(records_of("3 0\nTRIANGLES\n1 0 0\n3\n0 -1\n1 -1\n2 -1\nTRIANGLES\n0 1 0\n3\n1 -1\n2 -1\n3 -1\n"
                         "TRIANGLES\n1 0 0\n3\n0 -1\n2 -1\n3 -1\n"),
              (R{{GS_TRIANGLES, 6}, {GS_TRIANGLES, 3}}));
    EXPECT_EQ(records_of("1 0\npolygon\n1 1 1\n4\n0 -1\n1 -1\n3 -1\n2 -1\n"), (R{{GS_QUADS, 4}}));
    // Blank lines and trailing blanks around a keyword are harmless.
    EXPECT_EQ(records_of("1 0   \n\n  LINE_STRIP \t\n1 1 1\n2\n0 -1\n1 -1\n"), (R{{GS_LINE_STRIP, 2}}));
}

TEST(KvgRead, InvertedBoundsBecomeTheOrigin)
{
    ScratchDir dir("kvg_bounds");
    std::string text = read_file(kData + "triangle.kvg");
    text.replace(text.find("0 0 0 1 1 0"), 11, "0 0 0 1 -1 0");
    write_file(dir.file("b.kvg"), text);
    const Object obj = read_text(dir.file("b.kvg"));
    ASSERT_TRUE(obj);
    float extents[3];
    GSobject_getextents(obj.get(), extents);
    EXPECT_EQ(std::vector<float>(extents, extents + 3), std::vector<float>(3, 0.0f));
    EXPECT_EQ(GSobject_getradius(obj.get()), 0.0f);
}

TEST(KvgRead, BadFilesAreRejectedWithTheirReason)
{
    const std::pair<const char *, const char *> cases[] = {
        {"err_empty.kvg", "line 1: the file is empty"},
        {"err_truncated.kvg", "line 17: the file ends before the vertex index"},
        {"err_header.kvg", "not a KVG part file"},
        {"err_version.kvg", "KVG version \"1.3\" is not supported"},
        {"err_vertex_index.kvg", "line 18: vertex index 3 is outside the 3 vertices"},
        {"err_normal_index.kvg", "line 17: normal index 1 is outside the 1 normals"},
        {"err_long_line.kvg", "line 13: a line is longer than 100 characters"},
        {"err_corner_count.kvg", "line 18: unexpected data after the last face group"},
        {"err_vertex_count.kvg", "line 11: unexpected data after the last face group"},
        {"err_record_count.kvg", "line 19: the file ends before the polygon keyword"},
        {"err_group_count.kvg", "line 11: unexpected data after the last face group"},
        {"err_garbage.kvg", "line 14: expected a number for the colour, found \"0.5x\""},
        {"err_nan.kvg", "line 6: expected a number for the vertex, found \"nan\""},
        {"err_keyword.kvg", "line 13: \"TRIANGLE\" is not a polygon keyword"},
        {"err_partial_triangles.kvg", "line 15: a TRIANGLES record needs a multiple of 3 corners, it has 4"},
        {"missing.kvg", "the file cannot be opened"},
    };
    for (const auto &[name, reason] : cases) {
        SCOPED_TRACE(name);
        kivtest::BusRecorder reports(MSG_ERROR);
        EXPECT_FALSE(read_text(kData + name));
        ASSERT_EQ(reports.error_texts().size(), 1u);
        EXPECT_EQ(reports.error_texts()[0].rfind("Cannot read the part file " + kData + name + ": " + reason, 0), 0u)
            << reports.error_texts()[0];
    }
}

TEST(KvgRead, NumbersAtTheEdgesOfFloat)
{
    ScratchDir dir("kvg_numbers");
    const std::string head = "KVG Version 1.2\n0 0 0 1 1 0\n0 0 0\n1\n";
    const std::string tail = "\n0\n0 0 0\n";
    const std::pair<std::string, bool> cases[] = {
        {"1e-50 +2 -0", true}, {"1.4013e-45 3.40282e+38 .5", true}, {"1e39 0 0", false}, {"+-1 0 0", false},
        {"0x10 0 0", false},   {"inf 0 0", false},
    };
    for (const auto &[vertex, ok] : cases) {
        SCOPED_TRACE(vertex);
        write_file(dir.file("n.kvg"), head + vertex + tail);
        EXPECT_EQ(bool(read_text(dir.file("n.kvg"))), ok);
    }
}

TEST(KvgRead, StreamWithAnErrorGivesNull)
{
    std::unique_ptr<QelFileReader> in(QelCreateReaderInstance((kData + "missing.kvg").c_str(), 0));
    kivtest::BusRecorder reports(MSG_ERROR);
    EXPECT_EQ(GSobject_read(*in, GS_FILE_TEXT), nullptr);
    EXPECT_EQ(reports.error_texts(), std::vector<std::string>{"Cannot read the part file: the file cannot be opened"});
}

TEST(KvgWrite, RefusalsLeaveTheFileAlone)
{
    ScratchDir dir("kvg_refusals");
    const Object part = build_part();
    const std::string keep = dir.file("keep.kvg");
    write_file(keep, "precious");
    kivtest::BusRecorder reports(MSG_ERROR);
    EXPECT_FALSE(GSobject_write(nullptr, keep.c_str(), GS_FILE_TEXT));
    EXPECT_FALSE(GSobject_write(part.get(), keep.c_str(), static_cast<GSfileformat>(-1)));
    EXPECT_FALSE(GSobject_write(part.get(), keep.c_str(), static_cast<GSfileformat>(7)));
    GSobject *face = GSGetChildObject(GSFirstChild(part.get()));
    EXPECT_FALSE(GSobject_write(face, keep.c_str(), GS_FILE_TEXT));
    EXPECT_EQ(read_file(keep), "precious");
    EXPECT_FALSE(GSobject_write(part.get(), dir.file("no/such/dir/x.kvg").c_str(), GS_FILE_TEXT));
    EXPECT_EQ(reports.error_texts().size(), 4u);
    EXPECT_EQ(GSobject_read(keep.c_str(), GS_FILE_BINARY), nullptr);
    EXPECT_EQ(GSobject_read(keep.c_str(), GS_FILE_VRML1), nullptr);
    ASSERT_EQ(reports.error_texts().size(), 6u);
    EXPECT_EQ(reports.error_texts()[4], "Cannot read the part file " + keep + ": not a KVG binary part file");
    EXPECT_EQ(reports.error_texts()[5], "Cannot read the part file " + keep + ": the VRML 1.0 form cannot be read");
}

TEST(KvgLoader, RegisteredAsTheTextPartLoader)
{
    LoaderFactory *f = loader_get_factory("kiv part");
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(f->name(), "KIV Part");
    EXPECT_STREQ(f->suffix(), "kvg");
    EXPECT_EQ(f->suffix_count(), 1);
    EXPECT_EQ(f->hints(), 130);
    EXPECT_EQ(f->priority(), 10080);
}

TEST(KvgLoader, TakesFilesByTheirSuffixAndHeader)
{
    ScratchDir dir("kvg_legal");
    const std::string triangle = read_file(kData + "triangle.kvg");
    const struct {
        const char *name;
        std::string text;
        int legal;
    } cases[] = {
        {"v12.kvg", triangle, LOADER_GEOMETRY},
        {"v11.KVG", read_file(kData + "triangle_v11.kvg"), LOADER_GEOMETRY},
        {"v13.kvg", read_file(kData + "err_version.kvg"), LOADER_NOT_TAKEN},
        {"stl.kvg", read_file(kData + "err_header.kvg"), LOADER_NOT_TAKEN},
        {"short.kvg", "KVG Version 1", LOADER_NOT_TAKEN},
        {"other.txt", triangle, LOADER_NOT_TAKEN},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        write_file(dir.file(c.name), c.text);
        EXPECT_EQ(loader_legal("KIV Part", nullptr, nullptr, dir.file(c.name).c_str(), nullptr), c.legal);
    }
    EXPECT_EQ(loader_legal("KIV Part", nullptr, nullptr, dir.file("absent.kvg").c_str(), nullptr), 0);
}

TEST(KvgLoader, InvokeReadsThePartWithItsPivotAtTheOrigin)
{
    ScratchDir dir("kvg_invoke");
    const std::string path = dir.file("loaded_triangle.kvg");
    write_file(path, read_file(kData + "triangle.kvg"));
    void *geometry = nullptr;
    int index = 0;
    ASSERT_EQ(loader_invoke(nullptr, nullptr, path.c_str(), nullptr, &geometry, &index), LOADER_GEOMETRY);
    const Object obj(static_cast<GSobject *>(geometry));
    ASSERT_TRUE(obj);
    EXPECT_EQ(index, loader_get_index(loader_get_factory("KIV Part")));
    EXPECT_EQ(face_children(obj.get()), 1);
    float pivot[3], position[3];
    GSobject_getpivot(obj.get(), pivot, GS_FRAME_LOCAL);
    GSobject_getposition(obj.get(), position);
    expect_near({pivot[0], pivot[1], pivot[2]}, {0, 0, 0});
    expect_near({position[0], position[1], position[2]}, {0, 0, 0});
}

TEST(KvgLoader, HeaderlessOrBrokenPartIsNotLoaded)
{
    ScratchDir dir("kvg_invoke_bad");
    for (const char *name : {"err_header.kvg", "err_truncated.kvg"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.file(std::string("bad_") + name);
        write_file(path, read_file(kData + name));
        void *geometry = &geometry;
        int index = -1;
        EXPECT_EQ(loader_invoke(nullptr, nullptr, path.c_str(), nullptr, &geometry, &index), LOADER_NOT_TAKEN);
        EXPECT_EQ(index, 0);
        EXPECT_EQ(loader_invoke("KIV Part", nullptr, nullptr, path.c_str(), nullptr, &geometry), LOADER_NOT_TAKEN);
    }
}

} // namespace
