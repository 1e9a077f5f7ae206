#include "animation/banded_solve.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kiv::anim {

BandedSystem::BandedSystem(int n, int lower, int upper)
    : n_(n), lower_(lower), upper_(upper),
      width_(static_cast<std::size_t>(2 * lower + upper + 1)),
      a_(static_cast<std::size_t>(n) * width_, 0.0), rhs_(static_cast<std::size_t>(n), {0.0, 0.0, 0.0})
{
}

bool BandedSystem::solve()
{
    const int reach = lower_ + upper_;  // farthest column right of the diagonal after fill
    for (int j = 0; j < n_; ++j) {
        const int last_row = std::min(n_ - 1, j + lower_);
        const int last_col = std::min(n_ - 1, j + reach);
        int pivot = j;
        for (int r = j + 1; r <= last_row; ++r) {
            if (std::fabs(at(r, j)) > std::fabs(at(pivot, j)))
                pivot = r;
        }
        if (at(pivot, j) == 0.0)
            return false;
        if (pivot != j) {
            for (int c = j; c <= last_col; ++c)
                std::swap(at(j, c), at(pivot, c));
            std::swap(rhs_[static_cast<std::size_t>(j)], rhs_[static_cast<std::size_t>(pivot)]);
        }
        const double diag = at(j, j);
        for (int r = j + 1; r <= last_row; ++r) {
            const double f = at(r, j) / diag;
            if (f == 0.0)
                continue;
            for (int c = j; c <= last_col; ++c)
                at(r, c) -= f * at(j, c);
            for (int k = 0; k < 3; ++k)
                rhs_[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)] -=
                    f * rhs_[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)];
        }
    }
    for (int j = n_ - 1; j >= 0; --j) {
        const int last_col = std::min(n_ - 1, j + reach);
        std::array<double, 3> &x = rhs_[static_cast<std::size_t>(j)];
        for (int c = j + 1; c <= last_col; ++c) {
            const double v = at(j, c);
            for (int k = 0; k < 3; ++k)
                x[static_cast<std::size_t>(k)] -= v * rhs_[static_cast<std::size_t>(c)][static_cast<std::size_t>(k)];
        }
        for (double &xk : x)
            xk /= at(j, j);
    }
    return true;
}

}  // namespace kiv::anim
