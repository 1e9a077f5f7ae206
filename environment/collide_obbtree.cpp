// Oriented box tree: top-down build from principal axes, and the separating-axis box test.
#include "environment/collide_obbtree.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kiv::env {
namespace {

// Up to this many triangles share a leaf: fewer nodes to build and visit, a few more
// triangle pairs per leaf pair.
constexpr int32_t kLeafSize = 2;

// Eigenvectors of a symmetric 3 x 3 matrix by cyclic Jacobi rotations, returned as rows in
// order of decreasing eigenvalue.
void principal_axes(double a[3][3], double axes[3][3])
{
    double v[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int sweep = 0; sweep < 32; ++sweep) {
        const double off = a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][2] * a[1][2];
        const double diag = a[0][0] * a[0][0] + a[1][1] * a[1][1] + a[2][2] * a[2][2];
        if (off <= 1e-30 * diag || off == 0.0) break;
        for (int p = 0; p < 2; ++p)
            for (int q = p + 1; q < 3; ++q) {
                if (a[p][q] == 0.0) continue;
                const double theta = (a[q][q] - a[p][p]) / (2.0 * a[p][q]);
                const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c;
                for (int k = 0; k < 3; ++k) {
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < 3; ++k) {
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < 3; ++k) {
                    const double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
    }
    int idx[3] = {0, 1, 2};
    std::sort(idx, idx + 3, [&](int x, int y) { return a[x][x] > a[y][y]; });
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) axes[i][k] = v[k][idx[i]];
}

struct Builder {
    const std::vector<float> &vertices;
    const std::vector<uint32_t> &triangles;
    std::vector<float> centroids;  // x, y, z per triangle
    ObbTree &tree;

    const float *corner(int32_t tri, int k) const { return &vertices[3 * size_t(triangles[3 * size_t(tri) + k])]; }

    void fit(ObbNode &node, int32_t first, int32_t count) const
    {
        double s[3] = {0, 0, 0}, ss[3][3] = {};
        for (int32_t n = first; n < first + count; ++n)
            for (int k = 0; k < 3; ++k) {
                const float *p = corner(tree.order[size_t(n)], k);
                for (int i = 0; i < 3; ++i) {
                    s[i] += p[i];
                    for (int j = i; j < 3; ++j) ss[i][j] += double(p[i]) * p[j];
                }
            }
        const double inv = 1.0 / (3.0 * count);
        double cov[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = i; j < 3; ++j) cov[i][j] = cov[j][i] = ss[i][j] * inv - s[i] * inv * s[j] * inv;
        double axes[3][3];
        principal_axes(cov, axes);
        double lo[3], hi[3];
        for (int i = 0; i < 3; ++i) {
            for (int k = 0; k < 3; ++k) node.axis[i][k] = static_cast<float>(axes[i][k]);
            lo[i] = INFINITY;
            hi[i] = -INFINITY;
        }
        for (int32_t n = first; n < first + count; ++n)
            for (int k = 0; k < 3; ++k) {
                const float *p = corner(tree.order[size_t(n)], k);
                for (int i = 0; i < 3; ++i) {
                    const double d = double(node.axis[i][0]) * p[0] + double(node.axis[i][1]) * p[1] +
                                     double(node.axis[i][2]) * p[2];
                    lo[i] = std::min(lo[i], d);
                    hi[i] = std::max(hi[i], d);
                }
            }
        for (int k = 0; k < 3; ++k) {
            double c = 0.0;
            for (int i = 0; i < 3; ++i) c += double(node.axis[i][k]) * 0.5 * (lo[i] + hi[i]);
            node.centre[k] = static_cast<float>(c);
        }
        for (int i = 0; i < 3; ++i) node.extent[i] = static_cast<float>(0.5 * (hi[i] - lo[i]));
    }

    // Reorders [first, first + count) and answers the size of the first half.
    int32_t split(const ObbNode &node, int32_t first, int32_t count)
    {
        const float *ax = node.axis[0];
        auto proj = [&](int32_t tri) {
            const float *c = &centroids[3 * size_t(tri)];
            return double(ax[0]) * c[0] + double(ax[1]) * c[1] + double(ax[2]) * c[2];
        };
        auto begin = tree.order.begin() + first, end = begin + count;
        double mean = 0.0;
        for (auto it = begin; it != end; ++it) mean += proj(*it);
        mean /= count;
        const auto mid = std::partition(begin, end, [&](int32_t t) { return proj(t) < mean; });
        const auto left = int32_t(mid - begin);
        if (left > 0 && left < count) return left;
        // All centroids on one side (equal projections): halve by count.
        const auto half = begin + count / 2;
        std::nth_element(begin, half, end, [&](int32_t x, int32_t y) { return proj(x) < proj(y); });
        return count / 2;
    }

    void run()
    {
        const auto n = int32_t(triangles.size() / 3);
        tree.nodes.clear();
        tree.order.resize(size_t(n));
        std::iota(tree.order.begin(), tree.order.end(), 0);
        if (n == 0) return;
        centroids.resize(3 * size_t(n));
        for (int32_t t = 0; t < n; ++t)
            for (int i = 0; i < 3; ++i)
                centroids[3 * size_t(t) + i] = (corner(t, 0)[i] + corner(t, 1)[i] + corner(t, 2)[i]) / 3.0f;
        tree.nodes.reserve(size_t(2 * (n / kLeafSize) + 1));
        tree.nodes.emplace_back();
        struct Work {
            int32_t node, first, count;
        };
        std::vector<Work> work{{0, 0, n}};
        while (!work.empty()) {
            const Work w = work.back();
            work.pop_back();
            fit(tree.nodes[size_t(w.node)], w.first, w.count);
            ObbNode &node = tree.nodes[size_t(w.node)];
            node.first = w.first;
            node.count = w.count;
            node.child = -1;
            if (w.count <= kLeafSize) continue;
            const int32_t left = split(node, w.first, w.count);
            const auto child = int32_t(tree.nodes.size());
            tree.nodes[size_t(w.node)].child = child;
            tree.nodes.emplace_back();
            tree.nodes.emplace_back();
            work.push_back({child + 1, w.first + left, w.count - left});
            work.push_back({child, w.first, left});
        }
    }
};

}  // namespace

void ObbTree::build(const std::vector<float> &vertices, const std::vector<uint32_t> &triangles)
{
    Builder{vertices, triangles, {}, *this}.run();
}

bool obb_overlap(const ObbNode &a, const ObbNode &b, const Transform &m, double margin)
{
    // b's axes and centre in a's frame.
    double bx[3][3], cb[3];
    for (int j = 0; j < 3; ++j)
        for (int k = 0; k < 3; ++k)
            bx[j][k] = m.r[k][0] * b.axis[j][0] + m.r[k][1] * b.axis[j][1] + m.r[k][2] * b.axis[j][2];
    for (int k = 0; k < 3; ++k)
        cb[k] = m.r[k][0] * b.centre[0] + m.r[k][1] * b.centre[1] + m.r[k][2] * b.centre[2] + m.t[k] - a.centre[k];
    double R[3][3], AR[3][3], T[3];
    for (int i = 0; i < 3; ++i) {
        T[i] = a.axis[i][0] * cb[0] + a.axis[i][1] * cb[1] + a.axis[i][2] * cb[2];
        for (int j = 0; j < 3; ++j) {
            R[i][j] = a.axis[i][0] * bx[j][0] + a.axis[i][1] * bx[j][1] + a.axis[i][2] * bx[j][2];
            AR[i][j] = std::fabs(R[i][j]) + 1e-6;
        }
    }
    const float *ea = a.extent, *eb = b.extent;
    for (int i = 0; i < 3; ++i)
        if (std::fabs(T[i]) > ea[i] + eb[0] * AR[i][0] + eb[1] * AR[i][1] + eb[2] * AR[i][2] + margin) return false;
    for (int j = 0; j < 3; ++j)
        if (std::fabs(T[0] * R[0][j] + T[1] * R[1][j] + T[2] * R[2][j]) >
            eb[j] + ea[0] * AR[0][j] + ea[1] * AR[1][j] + ea[2] * AR[2][j] + margin)
            return false;
    // The nine cross products of an axis of a with an axis of b.
    for (int i = 0; i < 3; ++i) {
        const int i1 = (i + 1) % 3, i2 = (i + 2) % 3;
        for (int j = 0; j < 3; ++j) {
            const int j1 = (j + 1) % 3, j2 = (j + 2) % 3;
            const double t = std::fabs(T[i2] * R[i1][j] - T[i1] * R[i2][j]);
            const double r = ea[i1] * AR[i2][j] + ea[i2] * AR[i1][j] + eb[j1] * AR[i][j2] + eb[j2] * AR[i][j1];
            if (t > r + margin) return false;
        }
    }
    return true;
}

}  // namespace kiv::env
