// Shortest-edge collapse. Triangles sit in a binary min-heap keyed on their shortest squared
// edge; entries are never searched for: a changed triangle gets a new stamp and a new entry,
// and stale entries are skipped when they reach the top. Each vertex keeps the triangles that
// use it in a pooled array, so a collapse touches only the triangles around its two ends.
#include "graphics/gsdb_collapse.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

namespace {

// A border vertex where the border turns by more than this stays: it is a corner.
const double kBorderTurnCos = std::cos(40.0 * std::numbers::pi / 180.0);
// No triangle may turn further than this, from its facing before the collapse or in the input.
const double kMaxTurnCos = std::cos(45.0 * std::numbers::pi / 180.0);

enum class State : uint8_t { live, parked, dead };

struct Entry {
    double cost;
    uint32_t tri;
    uint32_t stamp;
};

// Min-heap order: lower cost first, then lower triangle number.
bool later(const Entry &a, const Entry &b)
{
    return a.cost > b.cost || (a.cost == b.cost && a.tri > b.tri);
}

struct Vec {
    double x, y, z;
    Vec operator-(const Vec &o) const { return {x - o.x, y - o.y, z - o.z}; }
    double dot(const Vec &o) const { return x * o.x + y * o.y + z * o.z; }
    Vec cross(const Vec &o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
};

class Collapser {
public:
    Collapser(const std::vector<float> &positions, std::vector<GSDB_Triangle> &tris)
        : pos_(positions), tris_(tris), nv_(positions.size() / 3), cost_(tris.size(), 0.0), edge_(tris.size(), 0),
          stamp_(tris.size(), 0), state_(tris.size(), State::dead), facing_(tris.size())
    {
    }

    void run(double costlimit, long long budget)
    {
        build();
        long long done = 0;
        while (done < budget && !heap_.empty()) {
            const Entry top = heap_.front();
            if (state_[top.tri] != State::live || stamp_[top.tri] != top.stamp) {
                pop();
                continue;
            }
            if (costlimit > 0.0 && top.cost > costlimit) break;
            pop();
            const int *c = tris_[top.tri].corner;
            const int e = edge_[top.tri];
            const int r = c[e], k = c[(e + 1) % 3];
            if (collapse(r, k) || collapse(k, r)) {
                ++done;
            } else {
                state_[top.tri] = State::parked;
                ++stamp_[top.tri];
            }
        }
        for (size_t t = 0; t < tris_.size(); ++t)
            if (state_[t] == State::dead) std::fill_n(tris_[t].corner, 3, -1);
    }

private:
    struct Span {
        uint32_t start = 0, size = 0, cap = 0;
    };

    Vec at(int v) const
    {
        const float *p = &pos_[3 * size_t(v)];
        return {p[0], p[1], p[2]};
    }

    bool has(uint32_t t, int v) const
    {
        const int *c = tris_[t].corner;
        return c[0] == v || c[1] == v || c[2] == v;
    }

    void build()
    {
        // Counting sort of triangles into their vertices' spans, with room to grow.
        std::vector<uint32_t> count(nv_, 0);
        for (size_t t = 0; t < tris_.size(); ++t) {
            const int *c = tris_[t].corner;
            if (!in_range(c)) continue;
            if (!cost_of(uint32_t(t))) continue;
            state_[t] = State::live;
            for (int i = 0; i < 3; ++i) ++count[size_t(c[i])];
        }
        spans_.resize(nv_);
        size_t total = 0;
        for (size_t v = 0; v < nv_; ++v) {
            spans_[v].start = uint32_t(total);
            spans_[v].cap = count[v] + 2;
            total += spans_[v].cap;
        }
        pool_.resize(total);
        heap_.reserve(2 * tris_.size());
        for (size_t t = 0; t < tris_.size(); ++t) {
            if (state_[t] != State::live) continue;
            const int *c = tris_[t].corner;
            for (int i = 0; i < 3; ++i) {
                Span &s = spans_[size_t(c[i])];
                pool_[s.start + s.size++] = uint32_t(t);
            }
            const Vec n = normal(at(c[0]), at(c[1]), at(c[2]));
            const double len = std::sqrt(n.dot(n));
            facing_[t] = len > 0.0 ? Vec{n.x / len, n.y / len, n.z / len} : Vec{0.0, 0.0, 0.0};
            heap_.push_back({cost_[t], uint32_t(t), 0});
        }
        std::make_heap(heap_.begin(), heap_.end(), later);
    }

    bool in_range(const int *c) const
    {
        for (int i = 0; i < 3; ++i)
            if (c[i] < 0 || size_t(c[i]) >= nv_) return false;
        return true;
    }

    static Vec normal(const Vec &p0, const Vec &p1, const Vec &p2) { return (p1 - p0).cross(p2 - p0); }

    // The shortest squared edge; false when the triangle has lost a corner or has an edge of
    // zero length.
    bool cost_of(uint32_t t)
    {
        const int *c = tris_[t].corner;
        if (c[0] == c[1] || c[1] == c[2] || c[2] == c[0]) return false;
        const Vec p0 = at(c[0]), p1 = at(c[1]), p2 = at(c[2]);
        const double e0 = (p0 - p1).dot(p0 - p1), e1 = (p1 - p2).dot(p1 - p2), e2 = (p2 - p0).dot(p2 - p0);
        if (e0 == 0.0 || e1 == 0.0 || e2 == 0.0) return false;
        double cost = e0;
        int edge = 0;
        if (e0 > e1) {
            cost = e1;
            edge = 1;
        }
        if (e2 < cost) {
            cost = e2;
            edge = 2;
        }
        cost_[t] = cost;
        edge_[t] = uint8_t(edge);
        return true;
    }

    void pop()
    {
        std::pop_heap(heap_.begin(), heap_.end(), later);
        heap_.pop_back();
    }

    void push(uint32_t t)
    {
        state_[t] = State::live;
        heap_.push_back({cost_[t], t, ++stamp_[t]});
        std::push_heap(heap_.begin(), heap_.end(), later);
    }

    void append(int v, uint32_t t)
    {
        Span &s = spans_[size_t(v)];
        if (s.size == s.cap) {
            const uint32_t cap = std::max<uint32_t>(4, 2 * s.cap);
            const size_t start = pool_.size();
            pool_.resize(start + cap);
            std::copy_n(pool_.begin() + s.start, s.size, pool_.begin() + std::ptrdiff_t(start));
            s.start = uint32_t(start);
            s.cap = cap;
        }
        pool_[s.start + s.size++] = t;
    }

    // The triangles still standing around v (dropping the others from its span).
    void live_around(int v, std::vector<uint32_t> &out)
    {
        out.clear();
        Span &s = spans_[size_t(v)];
        uint32_t kept = 0;
        for (uint32_t i = 0; i < s.size; ++i) {
            const uint32_t t = pool_[s.start + i];
            if (state_[t] == State::dead) continue;
            pool_[s.start + kept++] = t;
            out.push_back(t);
        }
        s.size = kept;
    }

    // v's neighbours, each with the number of triangles around v that hold it.
    void ring(int v, const std::vector<uint32_t> &around, std::vector<std::pair<int, int>> &out)
    {
        scratch_.clear();
        for (uint32_t t : around)
            for (int c : tris_[t].corner)
                if (c != v) scratch_.push_back(c);
        std::sort(scratch_.begin(), scratch_.end());
        out.clear();
        for (int c : scratch_) {
            if (!out.empty() && out.back().first == c)
                ++out.back().second;
            else
                out.emplace_back(c, 1);
        }
    }

    static int count_in(const std::vector<std::pair<int, int>> &ring, int v)
    {
        const auto it = std::lower_bound(ring.begin(), ring.end(), std::pair{v, 0});
        return it != ring.end() && it->first == v ? it->second : 0;
    }

    // Removes r into k when that keeps the surface sound.
    bool collapse(int r, int k)
    {
        live_around(r, around_r_);
        live_around(k, around_k_);
        shared_.clear();
        for (uint32_t t : around_r_)
            if (has(t, k)) shared_.push_back(t);
        if (shared_.empty() || shared_.size() > 2) return false;
        ring(r, around_r_, ring_r_);
        ring(k, around_k_, ring_k_);

        // The ends' common neighbours must be exactly the third corners of the edge's
        // triangles, or the collapse would fuse two sheets of surface.
        int thirds[2] = {-1, -1};
        for (size_t i = 0; i < shared_.size(); ++i)
            for (int c : tris_[shared_[i]].corner)
                if (c != r && c != k) thirds[i] = c;
        if (shared_.size() == 2 && thirds[0] == thirds[1]) return false;
        size_t common = 0;
        bool border_r = false;
        for (const auto &[v, n] : ring_r_) {
            if (n > 2) return false;  // an edge of three or more triangles
            border_r |= n == 1;
            if (v != k && count_in(ring_k_, v) > 0) {
                if (v != thirds[0] && v != thirds[1]) return false;
                ++common;
            }
        }
        if (common != shared_.size()) return false;
        for (const auto &[v, n] : ring_k_) {
            if (n > 2) return false;
        }
        const bool border_edge = shared_.size() == 1;
        if (border_r) {
            // Only along the border (joining two border vertices through the inside would
            // pinch the surface), and not at a corner of it.
            if (!border_edge) return false;
            int other = -1, ends = 0;
            for (const auto &[v, n] : ring_r_)
                if (n == 1) {
                    ++ends;
                    if (v != k) other = v;
                }
            if (ends != 2 || other < 0) return false;
            const Vec in = at(r) - at(other), out = at(k) - at(r);
            const double lens = std::sqrt(in.dot(in) * out.dot(out));
            if (!(in.dot(out) >= kBorderTurnCos * lens)) return false;
        } else if (border_edge) {
            return false;
        }

        // No triangle may fold over, twist too far or lose its area.
        const Vec pk = at(k);
        for (uint32_t t : around_r_) {
            if (has(t, k)) continue;
            const int *c = tris_[t].corner;
            Vec p[3] = {at(c[0]), at(c[1]), at(c[2])};
            const Vec before = normal(p[0], p[1], p[2]);
            for (int i = 0; i < 3; ++i)
                if (c[i] == r) p[i] = pk;
            const Vec after = normal(p[0], p[1], p[2]);
            const double area2 = after.dot(after);
            if (!(area2 > 0.0) || !(after.dot(before) > kMaxTurnCos * std::sqrt(area2 * before.dot(before)))) return false;
            const Vec &f = facing_[t];
            const bool faced = f.x != 0.0 || f.y != 0.0 || f.z != 0.0;
            if (faced && !(after.dot(f) > kMaxTurnCos * std::sqrt(area2))) return false;
        }

        for (uint32_t t : shared_) state_[t] = State::dead;
        for (uint32_t t : around_r_) {
            if (state_[t] == State::dead) continue;
            for (int &c : tris_[t].corner)
                if (c == r) c = k;
            append(k, t);
            if (cost_of(t))
                push(t);
            else
                state_[t] = State::dead;
        }
        spans_[size_t(r)].size = 0;
        // k's surroundings changed: triangles around it that were waiting get another chance.
        for (uint32_t t : around_k_)
            if (state_[t] == State::parked) push(t);
        return true;
    }

    const std::vector<float> &pos_;
    std::vector<GSDB_Triangle> &tris_;
    size_t nv_;
    std::vector<double> cost_;
    std::vector<uint8_t> edge_;
    std::vector<uint32_t> stamp_;
    std::vector<State> state_;
    std::vector<Vec> facing_;  // unit normal in the input (zero when it had no area)
    std::vector<Span> spans_;
    std::vector<uint32_t> pool_;
    std::vector<Entry> heap_;
    std::vector<uint32_t> around_r_, around_k_, shared_;
    std::vector<std::pair<int, int>> ring_r_, ring_k_;
    std::vector<int> scratch_;
};

}  // namespace

void gsdb_collapse_edges(const std::vector<float> &positions, std::vector<GSDB_Triangle> &tris, double costlimit,
                         long long budget)
{
    Collapser(positions, tris).run(costlimit, budget);
}
