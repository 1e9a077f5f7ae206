// Linear systems whose matrix is banded: at most `lower` entries left of the diagonal and
// `upper` right of it in every row. Gaussian elimination with partial pivoting inside the
// band, O(n * lower * (lower + upper)) time and O(n * (2 * lower + upper)) memory.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace kiv::anim {

class BandedSystem {
public:
    // n unknowns, each with `rhs_count` right-hand sides (3 for points).
    BandedSystem(int n, int lower, int upper);

    // Coefficient of unknown c in row r; c must lie within the band of r.
    void set(int r, int c, double v) { at(r, c) = v; }
    void set_rhs(int r, const std::array<double, 3> &b) { rhs_[static_cast<std::size_t>(r)] = b; }

    // Solves in place; false when the matrix is singular. The solution replaces the
    // right-hand sides.
    bool solve();
    const std::array<double, 3> &solution(int r) const { return rhs_[static_cast<std::size_t>(r)]; }

private:
    double &at(int r, int c)
    {
        return a_[static_cast<std::size_t>(r) * width_ + static_cast<std::size_t>(c - r + lower_)];
    }

    int n_;
    int lower_;
    int upper_;
    std::size_t width_;  // lower + upper + lower: room for the fill of row exchanges
    std::vector<double> a_;
    std::vector<std::array<double, 3>> rhs_;
};

}  // namespace kiv::anim
