// Shortest-edge collapse. Triangles sit in a min-queue keyed on their shortest squared edge.
// Entries are never searched for: a triangle whose cost fell gets a new entry, one whose cost
// grew is requeued when its old entry comes up, and entries of dead or changed triangles are
// skipped when they reach the top. Each vertex keeps the triangles that use it in a pooled
// array, so a collapse touches only the triangles around its two ends.
#include "graphics/gsdb_collapse.h"

#include "graphics/radix_queue.h"
#include "graphics/spatial_order.h"
#include "platform/large_pages.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

namespace {

// A border vertex where the border turns by more than this stays: it is a corner.
const double kBorderTurnCos = std::cos(40.0 * std::numbers::pi / 180.0);
// No triangle may turn further than this, from its facing before the collapse or in the input.
const double kMaxTurnCos = std::cos(45.0 * std::numbers::pi / 180.0);
constexpr double kFacingScale = 32767.0;

// A component of a unit vector in steps of 1 / 32767, rounded half away from zero; inline,
// where std::lround is a library call, made three times for every triangle.
int16_t quantized(double unit)
{
    const double scaled = unit * kFacingScale;
    return int16_t(scaled < 0.0 ? scaled - 0.5 : scaled + 0.5);
}

// The big arrays are read at random: large pages save most of their address translation misses.
using kiv::platform::LargeVector;

enum class State : uint8_t { live, parked, dead };

uint32_t key_of(double cost)
{
    // A float's bits order non-negative values.
    return std::bit_cast<uint32_t>(static_cast<float>(cost));
}

struct Vec {
    double x, y, z;
    Vec operator-(const Vec &o) const { return {x - o.x, y - o.y, z - o.z}; }
    double dot(const Vec &o) const { return x * o.x + y * o.y + z * o.z; }
    Vec cross(const Vec &o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
};

class Collapser {
public:
    // Vertices are renumbered along a space-filling curve, so that the positions a collapse
    // reads around a vertex share cache lines. Triangles keep their order, which already
    // follows the surface in most meshes, and which the queue uses to order equal costs.
    Collapser(std::span<const float> positions, std::span<GSDB_Triangle> tris, double costlimit)
        : tris_(tris), nv_(positions.size() / 3), vorder_(nv_), pos_(3 * nv_),
          limit_(costlimit > 0.0 ? costlimit : HUGE_VAL)
    {
        gs_spatial_order(positions.data(), nv_, vorder_.data());
        LargeVector<uint32_t> rank(nv_);
        for (size_t v = 0; v < nv_; ++v) {
            rank[vorder_[v]] = uint32_t(v);
            std::copy_n(&positions[3 * size_t(vorder_[v])], 3, &pos_[3 * v]);
        }
        build(rank);
    }

    void run(long long budget)
    {
        long long done = 0;
        while (done < budget && !heap_.empty()) {
            const RadixEntry top = heap_.top();
            heap_.pop();
            // The next candidate's record loads while this one is worked on, and the collapse
            // fetches what the next one reads, a step of the chain at a time.
            next_ = heap_.empty() ? kNone : heap_.top().value;
            ahead_ = 0;
            if (next_ != kNone) __builtin_prefetch(&t_[next_]);
            const uint32_t t = top.value;
            if (t_[t].state != State::live || !t_[t].queued || t_[t].key != top.key) continue;
            t_[t].queued = false;
            // Costs that grew keep their old entry until it comes up, and requeue then.
            if (t_[t].cost > top.key) {
                enqueue(t);
                continue;
            }
            const int *c = t_[t].c;
            const int e = t_[t].edge;
            const int r = c[e], k = c[(e + 1) % 3];
            if (collapse(r, k) || collapse(k, r)) {
                ++done;
            } else {
                t_[t].state = State::parked;
            }
            fetch_ahead(3);
        }
        for (size_t t = 0; t < tris_.size(); ++t) {
            if (t_[t].state == State::dead)
                std::fill_n(tris_[t].corner, 3, -1);
            else
                for (int i = 0; i < 3; ++i) tris_[t].corner[i] = int(vorder_[size_t(t_[t].c[i])]);
        }
    }

private:
    // What a collapse reads of a triangle, in one record of 32 bytes, two to a cache line.
    struct Tri {
        int c[3];                       // corners
        uint32_t key = 0;               // of its valid queue entry
        uint32_t cost = 0;              // its shortest squared edge, as a queue key
        int16_t facing[3] = {0, 0, 0};  // unit normal in the input times 32767 (zero: no area)
        State state = State::dead;
        uint8_t edge = 0;               // the shortest edge
        bool queued = false;            // it has a valid queue entry
        bool within = false;            // its cost is within the limit
    };
    static_assert(sizeof(Tri) == 32);

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
        const int *c = t_[t].c;
        return c[0] == v || c[1] == v || c[2] == v;
    }

    // The triangle records with their costs and facings, each vertex's list of triangles (a
    // counting sort, with room to grow), and the queue.
    void build(const LargeVector<uint32_t> &rank)
    {
        LargeVector<uint32_t> count(nv_, 0);
        LargeVector<RadixEntry> first;
        first.reserve(tris_.size());
        t_.reserve(tris_.size());
        for (size_t t = 0; t < tris_.size(); ++t) {
            Tri &x = t_.emplace_back();
            const int *c = tris_[t].corner;
            const bool valid = in_range(c);
            for (int i = 0; i < 3; ++i) x.c[i] = valid ? int(rank[size_t(c[i])]) : -1;
            if (!valid || !cost_of(uint32_t(t))) continue;
            x.state = State::live;
            for (int v : x.c) ++count[size_t(v)];
            const Vec n = normal(at(x.c[0]), at(x.c[1]), at(x.c[2]));
            const double len = std::sqrt(n.dot(n));
            const double scale = len > 0.0 ? 1.0 / len : 0.0;  // no area: no facing to keep
            x.facing[0] = quantized(n.x * scale);
            x.facing[1] = quantized(n.y * scale);
            x.facing[2] = quantized(n.z * scale);
            if (!x.within) continue;
            x.key = x.cost;
            x.queued = true;
            first.push_back({x.key, uint32_t(t)});
        }
        spans_.resize(nv_);
        size_t total = 0;
        for (size_t v = 0; v < nv_; ++v) {
            spans_[v].start = uint32_t(total);
            spans_[v].cap = std::bit_ceil(count[v] + 2);
            total += spans_[v].cap;
        }
        pool_.reserve(2 * total);
        pool_.resize(total);
        for (size_t t = 0; t < t_.size(); ++t) {
            if (t_[t].state != State::live) continue;
            for (int v : t_[t].c) {
                Span &s = spans_[size_t(v)];
                pool_[s.start + s.size++] = uint32_t(t);
            }
        }
        heap_.assign(first);
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
        const int *c = t_[t].c;
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
        t_[t].cost = key_of(cost);
        t_[t].within = cost <= limit_;
        t_[t].edge = uint8_t(edge);
        return true;
    }

    // Queues a live triangle at its cost, unless that is beyond the limit (then only a change
    // of its corners can bring it back).
    void enqueue(uint32_t t)
    {
        if (!t_[t].within) return;
        // A later entry of the same key stands for the same state; an earlier one of another
        // key is stale.
        t_[t].key = heap_.admit(t_[t].cost);
        t_[t].queued = true;
        heap_.push({t_[t].key, t});
    }

    // After a triangle's cost changed: a lower cost needs a new entry, a higher one waits for
    // the old entry to come up.
    void requeue(uint32_t t)
    {
        if (t_[t].queued && t_[t].cost >= t_[t].key) return;
        enqueue(t);
    }

    // Makes room in k's span for extra more triangles; r's span, about to be emptied, is
    // taken over when it is big enough. Spans come in powers of two, and freed ones are used
    // again, so the pool stays within a small multiple of the triangle count.
    void make_room(int k, int r, uint32_t extra)
    {
        Span &sk = spans_[size_t(k)], &sr = spans_[size_t(r)];
        const uint32_t need = sk.size + extra;
        if (need <= sk.cap) return;
        Span grown{0, sk.size, 0};
        if (sr.cap >= need) {
            grown.start = sr.start;
            grown.cap = sr.cap;
            sr.cap = 0;
        } else {
            grown.cap = std::bit_ceil(need);
            std::vector<uint32_t> &spare = free_[size_t(std::countr_zero(grown.cap))];
            if (!spare.empty()) {
                grown.start = spare.back();
                spare.pop_back();
            } else {
                grown.start = uint32_t(pool_.size());
                pool_.resize(pool_.size() + grown.cap);
            }
        }
        std::copy_n(pool_.begin() + sk.start, sk.size, pool_.begin() + grown.start);
        release(sk);
        sk = grown;
    }

    void release(Span &s)
    {
        if (s.cap > 0) free_[size_t(std::countr_zero(s.cap))].push_back(s.start);
        s = Span{};
    }

    // The triangles still standing around v (dropping the others from its span).
    void live_around(int v, std::vector<uint32_t> &out)
    {
        out.clear();
        Span &s = spans_[size_t(v)];
        uint32_t kept = 0;
        for (uint32_t i = 0; i < s.size; ++i) {
            const uint32_t t = pool_[s.start + i];
            if (t_[t].state == State::dead) continue;
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
            for (int c : t_[t].c)
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

    // Prefetches for the next candidate up to the given step: its corners' vertex data, their
    // triangle lists, the first triangles in them.
    void fetch_ahead(int upto)
    {
        if (next_ == kNone) return;
        for (; ahead_ < upto; ++ahead_)
            for (int v : t_[next_].c) {
                if (v < 0) continue;
                const Span &s = spans_[size_t(v)];
                if (ahead_ == 0) {
                    __builtin_prefetch(&s);
                    __builtin_prefetch(&pos_[3 * size_t(v)]);
                } else if (ahead_ == 1) {
                    __builtin_prefetch(&pool_[s.start]);
                } else {
                    for (uint32_t i = 0; i < std::min(s.size, 8u); ++i) __builtin_prefetch(&t_[pool_[s.start + i]]);
                }
            }
    }

    // Removes r into k when that keeps the surface sound.
    bool collapse(int r, int k)
    {
        live_around(r, around_r_);
        live_around(k, around_k_);
        fetch_ahead(1);
        shared_.clear();
        for (uint32_t t : around_r_)
            if (has(t, k)) shared_.push_back(t);
        if (shared_.empty() || shared_.size() > 2) return false;
        ring(r, around_r_, ring_r_);
        ring(k, around_k_, ring_k_);
        fetch_ahead(2);

        // The ends' common neighbours must be exactly the third corners of the edge's
        // triangles, or the collapse would fuse two sheets of surface.
        int thirds[2] = {-1, -1};
        for (size_t i = 0; i < shared_.size(); ++i)
            for (int c : t_[shared_[i]].c)
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
            const int *c = t_[t].c;
            Vec p[3] = {at(c[0]), at(c[1]), at(c[2])};
            const Vec before = normal(p[0], p[1], p[2]);
            for (int i = 0; i < 3; ++i)
                if (c[i] == r) p[i] = pk;
            const Vec after = normal(p[0], p[1], p[2]);
            const double area2 = after.dot(after);
            if (!(area2 > 0.0) || !(after.dot(before) > kMaxTurnCos * std::sqrt(area2 * before.dot(before)))) return false;
            const Vec f{t_[t].facing[0] / kFacingScale, t_[t].facing[1] / kFacingScale, t_[t].facing[2] / kFacingScale};
            const bool faced = f.x != 0.0 || f.y != 0.0 || f.z != 0.0;
            if (faced && !(after.dot(f) > kMaxTurnCos * std::sqrt(area2))) return false;
        }

        for (uint32_t t : shared_) t_[t].state = State::dead;
        make_room(k, r, uint32_t(around_r_.size() - shared_.size()));
        Span &sk = spans_[size_t(k)];
        for (uint32_t t : around_r_) {
            if (t_[t].state == State::dead) continue;
            for (int &c : t_[t].c)
                if (c == r) c = k;
            pool_[sk.start + sk.size++] = t;
            if (!cost_of(t)) {
                t_[t].state = State::dead;
            } else if (t_[t].state == State::parked) {
                t_[t].state = State::live;
                enqueue(t);
            } else {
                requeue(t);
            }
        }
        release(spans_[size_t(r)]);
        // k's surroundings changed: triangles around it that were waiting get another chance.
        for (uint32_t t : around_k_)
            if (t_[t].state == State::parked) {
                t_[t].state = State::live;
                enqueue(t);
            }
        return true;
    }

    std::span<GSDB_Triangle> tris_;
    size_t nv_;
    LargeVector<uint32_t> vorder_;  // the input vertex at each place along the curve
    LargeVector<float> pos_;        // in curve order
    LargeVector<Tri> t_;
    static constexpr uint32_t kNone = ~0u;
    uint32_t next_ = kNone;  // the triangle that comes up next, as far as is known
    int ahead_ = 0;          // how many steps of its fetching are done
    LargeVector<Span> spans_;
    LargeVector<uint32_t> pool_;
    std::array<std::vector<uint32_t>, 33> free_;  // starts of free spans by log2 of their size
    RadixQueue heap_;
    double limit_ = HUGE_VAL;
    std::vector<uint32_t> around_r_, around_k_, shared_;
    std::vector<std::pair<int, int>> ring_r_, ring_k_;
    std::vector<int> scratch_;
};

}  // namespace

void gsdb_collapse_edges(std::span<const float> positions, std::span<GSDB_Triangle> tris, double costlimit,
                         long long budget)
{
    Collapser(positions, tris, costlimit).run(budget);
}
