// Curved paths: the banded solve against a dense peer, the curve through its nodes,
// degenerate node sets, and the drawing of paths.
#include "animation/anim_fixture.h"
#include "animation/path_internal.h"

#include <kivctrl/gsobject.h>
#include <kivctrl/selection.h>

#ifdef KIV_HAVE_EIGEN
#include <Eigen/Dense>
#endif

namespace {

_path *curved(AnimTest &, std::initializer_list<QEL_VECT3> pts, double steps = 10.0)
{
    std::vector<QEL_VECT3> v(pts);
    _path *p = path_create(nullptr, v.data(), nullptr, static_cast<int>(v.size()));
    p->path_type = 1;
    p->steps = steps;
    return p;
}

::testing::AssertionResult near(const QEL_VECT3 &a, const QEL_VECT3 &b, float tol)
{
    const float d = std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                              (a.z - b.z) * (a.z - b.z));
    if (d <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs ("
                                         << b.x << ", " << b.y << ", " << b.z << ")";
}

#ifdef KIV_HAVE_EIGEN
// The system as written: data rows then the two end rows, solved densely.
std::vector<QEL_VECT3> dense_control_points(const std::vector<QEL_VECT3> &d)
{
    const int m = static_cast<int>(d.size());
    Eigen::MatrixXd a = Eigen::MatrixXd::Zero(m + 2, m + 2);
    Eigen::MatrixXd b = Eigen::MatrixXd::Zero(m + 2, 3);
    for (int i = 0; i < m; ++i) {
        const double u = i * (m - 1) / ((m - 1) + 0.001);
        const int k = static_cast<int>(std::floor(u));
        const double t = u - k;
        a(i, k) = (1 - t) * (1 - t) * (1 - t) / 6;
        a(i, k + 1) = t * t * t / 2 - t * t + 2.0 / 3;
        a(i, k + 2) = -t * t * t / 2 + t * t / 2 + t / 2 + 1.0 / 6;
        a(i, k + 3) = t * t * t / 6;
        b.row(i) << d[i].x, d[i].y, d[i].z;
    }
    a(m, 0) = -0.5;
    a(m, 2) = 0.5;
    a(m + 1, m - 1) = -0.5;
    a(m + 1, m + 1) = 0.5;
    const Eigen::MatrixXd c = a.fullPivLu().solve(b);
    std::vector<QEL_VECT3> out;
    for (int r = 0; r < m + 2; ++r)
        out.push_back({float(c(r, 0)), float(c(r, 1)), float(c(r, 2))});
    return out;
}

TEST_F(AnimTest, BandedSolveMatchesADenseSolve)
{
    for (int m : {2, 3, 4, 7, 40}) {
        std::vector<QEL_VECT3> pts;
        for (int i = 0; i < m; ++i)
            pts.push_back({float(i * 3 % 7), float(i * i % 5) - 2.0f, float(i) * 0.5f});
        _path *p = path_create(nullptr, pts.data(), nullptr, m);
        p->path_type = 1;
        path_update_spline(p);
        const std::vector<QEL_VECT3> c = dense_control_points(pts);
        for (int j = 0; j + 1 < m; ++j)
            for (int k = 0; k < 4; ++k)
                EXPECT_TRUE(near(p->get_node(j)->spline[k], c[j + k], 1e-3f))
                    << "m " << m << " node " << j << " point " << k;
    }
}
#endif

TEST_F(AnimTest, CurveThroughTheCornersOfASquarePassesEachNode)
{
    _path *p = curved(*this, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}, {0, 0, 0}});
    for (int j = 0; j < 4; ++j) {
        QEL_VECT3 start, end;
        ASSERT_TRUE(path_curve_point(p, j, 0.0f, start));
        ASSERT_TRUE(path_curve_point(p, j, 1.0f, end));
        EXPECT_TRUE(near(start, p->get_node(j)->position, 0.05f)) << j;
        EXPECT_TRUE(near(end, p->get_node(j + 1)->position, 0.05f)) << j;
    }
    QEL_VECT3 mid;
    path_curve_point(p, 0, 0.5f, mid);
    EXPECT_LT(mid.y, -0.1f);  // curved: the first side bulges outwards
    EXPECT_EQ(p->valid, 1);
    p->get_node(2)->position = {20, 20, 0};
    p->valid = 0;
    QEL_VECT3 moved;
    path_curve_point(p, 2, 0.0f, moved);
    EXPECT_TRUE(near(moved, {20, 20, 0}, 0.1f));
    EXPECT_FALSE(path_curve_point(p, 4, 0.0f, moved));
    EXPECT_FALSE(path_curve_point(p, -1, 0.0f, moved));
}

TEST_F(AnimTest, DegenerateCurvedPathsStayOnTheirPoints)
{
    struct Case {
        const char *what;
        std::vector<QEL_VECT3> pts;
    };
    const Case cases[] = {
        {"one node", {{1, 2, 3}}},
        {"two equal nodes", {{1, 2, 3}, {1, 2, 3}}},
        {"equal last nodes", {{0, 0, 0}, {5, 0, 0}, {5, 0, 0}}},
        {"equal first nodes", {{0, 0, 0}, {0, 0, 0}, {5, 0, 0}}},
        {"two distinct points", {{0, 0, 0}, {4, 0, 0}}},
    };
    for (const Case &c : cases) {
        _path *p = path_create(nullptr, c.pts.data(), nullptr, static_cast<int>(c.pts.size()));
        p->path_type = 1;
        path_update_spline(p);
        for (int j = 0; j + 1 < static_cast<int>(c.pts.size()); ++j) {
            for (float t : {0.0f, 0.5f, 1.0f}) {
                QEL_VECT3 q;
                ASSERT_TRUE(path_curve_point(p, j, t, q)) << c.what;
                EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y)) << c.what;
                EXPECT_GE(q.x, -0.5f) << c.what;
                EXPECT_LE(q.x, 5.5f) << c.what;
            }
        }
    }
    path_update_spline(path_create(nullptr, nullptr, nullptr, 0));
    path_update_spline(nullptr);
}

TEST_F(AnimTest, DrawingSkipsEqualNeighboursAndIsRed)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    struct Case {
        int type;
        double steps;
        int lines;
    };
    for (const Case c : {Case{0, 10.0, 2}, Case{1, 4.0, 8}}) {
        _path *p = path_create(nullptr, nullptr, nullptr, 0);
        for (QEL_VECT3 v : {QEL_VECT3{0, 0, 0}, {5, 0, 0}, {5, 0, 0}, {5, 5, 0}}) {
            auto *n = new PathNode;
            n->position = v;
            p->appendPathNode(n);
        }
        p->path_type = c.type;
        p->steps = c.steps;
        GSobject *g = kiv::anim::build_path_drawing(p, o);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(GSobject_npolys(g), c.lines) << c.type;
        GSpolygon poly;
        ASSERT_TRUE(GSobject_firstpoly(g, poly));
        EXPECT_EQ(GSpolygon_nvertices(poly), 2) << c.type;
        const GScolorRGB red = GSobject_getcolor(g);
        EXPECT_EQ(red.r, 1.0f);
        EXPECT_EQ(red.g, 0.0f);
        GSobject_delete(g);
    }
    EXPECT_EQ(kiv::anim::build_path_drawing(make_path("dot", {{1, 1, 1}}), o), nullptr);
}

TEST_F(AnimTest, APathIsDrawnWhileItsObjectIsSelected)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = line_path(3);
    path_associate(p, o);
    p->display_path(PATH_SHOW);
    EXPECT_EQ(p->display, nullptr);  // nothing selected
    object_picked(o);
    EXPECT_NE(p->display, nullptr);
    p->display_path(PATH_HIDE);
    p->visibility = 0;
    p->display_path(PATH_SHOW);
    EXPECT_EQ(p->display, nullptr);
    p->visibility = 1;
    p->display_path(PATH_SHOW);
    EXPECT_NE(p->display, nullptr);
    object_picked(o);
    EXPECT_EQ(p->display, nullptr);
    // A selected object's path goes with its drawing when the object is deleted.
    object_picked(o);
    db_delete_obj(o);
    EXPECT_EQ(sel_countobj(), 0);
}

}  // namespace
