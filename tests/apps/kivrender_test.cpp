// kivrender run as a program: its command-line errors, and pictures of the shipped sample
// checked by pixels.
#include "apps/kivrender_support.h"
#include "support/loopback_servers.h"
#include "support/scratch.h"

#include <kivctrl/kivctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using kivtest::FtpServer;
using kivtest::HttpServer;
using kivtest::ScratchDir;
using namespace kivtest::render;

const std::string kSamples = std::string(KIV_SOURCE_DIR) + "/samples";
const std::string kSample = kSamples + "/flanged_shaft.stl";
const std::string kAssembly = kSamples + "/bearing_block.kvasf";

TEST(Kivrender, CommandLineMistakesAndUnreadableInputFailWithOneLine)
{
    ScratchDir dir("kivrender_errors");
    kivtest::write_file(dir.file("notes.txt"), "not a part at all\n");
    kivtest::write_file(dir.file("broken.stl"), "solid cut\n  facet normal 0 0 1\n    outer loop\n");
    const struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{}, 2, "no part or assembly file given"},
        {{"--bogus", kSample}, 2, "unknown option '--bogus'"},
        {{"--size", "0x10", kSample}, 2, "bad --size '0x10'"},
        {{"--size=640", kSample}, 2, "bad --size '640'"},
        {{"--size", "20000x10", kSample}, 2, "bad --size '20000x10'"},
        {{"--view", "up", kSample}, 2, "unknown view 'up': expected front, back, top, bottom, left, right or iso"},
        {{kSample, "--view"}, 2, "option --view needs a value"},
        {{kSample, "other.stl"}, 2, "more than one file given"},
        {{"missing.stl"}, 1, "cannot open 'missing.stl': No such file or directory"},
        {{"."}, 1, "cannot open '.': it is a directory"},
        {{"notes.txt"}, 1, "'notes.txt' is not a part file"},
        {{"broken.stl"}, 1, "broken.stl'"},
        {{kSample, "-o", "shaft.xyz"}, 1, "no picture writer for '.xyz' files"},
        {{kSample, "-o", "shaft"}, 1, "cannot tell the picture format of 'shaft'"},
        {{kSample, "-o", "no/such/dir/shaft.png"}, 1, "no/such/dir/shaft.png"},
        {{"--view", "up", kAssembly}, 2,
         "unknown view 'up': expected front, back, top, bottom, left, right or iso or a view of "
         "the assembly (overview, side)"},
    };
    for (const Case &c : cases) {
        std::string shown;
        for (const std::string &a : c.args)
            shown += a + " ";
        const Outcome r = run(dir, c.args);
        EXPECT_EQ(r.status, c.status) << shown << r.err;
        EXPECT_EQ(r.err.rfind("kivrender: ", 0), 0u) << shown << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << shown << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << r.err;
    }
}

TEST(Kivrender, HelpDescribesTheOptions)
{
    ScratchDir dir("kivrender_help");
    const Outcome r = run(dir, {"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: kivrender", 0), 0u);
    for (const char *option : {"--size", "--view", "--output"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    EXPECT_EQ(r.err, "");
}

TEST(Kivrender, FramesTheSampleInEachView)
{
    ScratchDir dir("kivrender_views");
    Box boxes[2];
    const char *views[2] = {"front", "top"};
    for (int v = 0; v < 2; ++v) {
        const std::string out = std::string(views[v]) + ".png";
        const Outcome r = run(dir, {"--size", "320x240", "--view", views[v], "-o", out, kSample});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        const Picture p = read_png(dir.file(out));
        ASSERT_EQ(p.width, 320);
        ASSERT_EQ(p.height, 240);
        boxes[v] = check_framed(p, views[v]);
    }
    // Looking along the shaft shows the round flange; from the top, the shaft's length.
    EXPECT_NEAR(boxes[0].aspect(), 1.0, 0.1);
    EXPECT_LT(boxes[1].aspect(), 0.85);
}

// A box a few millimetres long, kilometres from the origin, still fills a tall picture.
TEST(Kivrender, FramesASmallPartFarFromTheOrigin)
{
    ScratchDir dir("kivrender_far");
    const float lo[3] = {5000.0f, -3000.0f, 1200.0f}, size[3] = {4.0f, 2.0f, 1.0f};
    std::string stl = "solid far\n";
    // Two triangles per face of the box, wound outwards.
    for (int axis = 0; axis < 3; ++axis)
        for (int side = 0; side < 2; ++side) {
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            float c[4][3];
            for (int k = 0; k < 4; ++k) {
                c[k][axis] = lo[axis] + side * size[axis];
                c[k][u] = lo[u] + ((k == 1 || k == 2) ? size[u] : 0.0f);
                c[k][v] = lo[v] + (k >= 2 ? size[v] : 0.0f);
            }
            const int order[2][6] = {{0, 2, 1, 0, 3, 2}, {0, 1, 2, 0, 2, 3}};
            for (int t = 0; t < 2; ++t) {
                const char *normal[3][2] = {{"-1 0 0", "1 0 0"}, {"0 -1 0", "0 1 0"}, {"0 0 -1", "0 0 1"}};
                stl += std::string("facet normal ") + normal[axis][side] + "\nouter loop\n";
                for (int k = 0; k < 3; ++k) {
                    const float *q = c[order[side][3 * t + k]];
                    stl += "vertex " + std::to_string(q[0]) + " " + std::to_string(q[1]) + " " +
                           std::to_string(q[2]) + "\n";
                }
                stl += "endloop\nendfacet\n";
            }
        }
    stl += "endsolid far\n";
    kivtest::write_file(dir.file("far.stl"), stl);
    const Outcome r = run(dir, {"--size", "120x200", "--view", "iso", "-o", "far.png", "far.stl"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Picture p = read_png(dir.file("far.png"));
    ASSERT_EQ(p.width, 120);
    check_framed(p, "far box");
}

// The sample written out as a text part file renders the same way.
TEST(Kivrender, RendersTextPartFiles)
{
    ScratchDir dir("kivrender_kvg");
    void *geometry = nullptr;
    ASSERT_EQ(loader_invoke(nullptr, nullptr, kSample.c_str(), nullptr, &geometry, nullptr), 2);
    GSobject *shaft = static_cast<GSobject *>(geometry);
    ASSERT_TRUE(GSobject_write(shaft, dir.file("shaft.kvg").c_str(), GS_FILE_TEXT));
    GSobject_delete(shaft);
    const Outcome r = run(dir, {"--size", "200x200", "--view", "front", "shaft.kvg"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Picture p = read_png(dir.file("shaft.png"));
    ASSERT_EQ(p.width, 200);
    EXPECT_NEAR(check_framed(p, "kvg front").aspect(), 1.0, 0.1);
}

TEST(Kivrender, DefaultOutputIsThePartsNameInTheCurrentDirectory)
{
    ScratchDir dir("kivrender_default");
    const Outcome r = run(dir, {kSample});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("flanged_shaft.png"), std::string::npos);
    const Picture p = read_png(dir.file("flanged_shaft.png"));
    EXPECT_EQ(p.width, 800);
    EXPECT_EQ(p.height, 600);
}

// Pixels of the picture that are not of the colour of its top left corner.
int covered(const Picture &p)
{
    int n = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            n += !std::equal(p.at(0, 0), p.at(0, 0) + 3, p.at(x, y));
    return n;
}

// The sample assembly from a path and over HTTP and FTP, framed whole or seen from its own
// views, on its own background colour.
TEST(Kivrender, RendersAssembliesFromPathsAndUrlsInTheirOwnViews)
{
    ScratchDir dir("kivrender_assembly");
    std::filesystem::copy(kSamples, dir.file("samples"), std::filesystem::copy_options::recursive);
    HttpServer http(dir.file("samples"));
    FtpServer ftp(dir.file("samples"), false);
    const struct Case {
        std::string file, view;
    } cases[] = {
        {kAssembly, "iso"},
        {kAssembly, "overview"},
        {kAssembly, "side"},
        {http.url("/bearing_block.kvasf"), "front"},
        {ftp.url("/bearing_block.kvasf"), "top"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file + " " + c.view);
        const Outcome r = run(dir, {"--size", "160x120", "--view", c.view, "-o", "a.png", c.file});
        ASSERT_EQ(r.status, 0) << r.err;
        const Picture p = read_png(dir.file("a.png"));
        ASSERT_EQ(p.width, 160);
        // The assembly's own background, not the tool's.
        EXPECT_FALSE(std::equal(kBackground, kBackground + 3, p.at(0, 0)));
        EXPECT_TRUE(std::equal(p.at(0, 0), p.at(0, 0) + 3, p.at(159, 119)));
        // The parts fill a good part of the picture, not a speck and not all of it.
        const int n = covered(p);
        EXPECT_GT(n, p.width * p.height / 10);
        EXPECT_LT(n, p.width * p.height * 9 / 10);
    }
}

} // namespace
