// Matrix inverse by Crout LU decomposition with implicit (row-scaled) partial pivoting.
#include <kivctrl/adt_matrix.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

namespace {

constexpr int N = 4;
constexpr double kTiny = 1.0e-30;  // stands in for a zero pivot, so a singular matrix never fails

// Decomposes a in place into L·U of a row permutation of it, recorded in index.
void decompose(double a[N][N], int index[N])
{
    double scale[N];
    for (int i = 0; i < N; ++i) {
        double big = 0.0;
        for (int j = 0; j < N; ++j) big = std::max(big, std::fabs(a[i][j]));
        scale[i] = big == 0.0 ? 1.0 : 1.0 / big;
    }
    for (int j = 0; j < N; ++j) {
        for (int i = 0; i < j; ++i) {
            double sum = a[i][j];
            for (int k = 0; k < i; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
        }
        double big = 0.0;
        int imax = j;
        for (int i = j; i < N; ++i) {
            double sum = a[i][j];
            for (int k = 0; k < j; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
            if (const double d = scale[i] * std::fabs(sum); d >= big) {
                big = d;
                imax = i;
            }
        }
        if (imax != j) {
            std::swap(a[imax], a[j]);
            scale[imax] = scale[j];
        }
        index[j] = imax;
        if (a[j][j] == 0.0) a[j][j] = kTiny;
        if (j != N - 1) {
            const double inv = 1.0 / a[j][j];
            for (int i = j + 1; i < N; ++i) a[i][j] *= inv;
        }
    }
}

// Solves L·U·x = b in place for one right-hand side.
void substitute(const double a[N][N], const int index[N], double b[N])
{
    int first = -1;  // leading zeros of b need no forward work
    for (int i = 0; i < N; ++i) {
        const int ip = index[i];
        double sum = b[ip];
        b[ip] = b[i];
        if (first >= 0) {
            for (int j = first; j < i; ++j) sum -= a[i][j] * b[j];
        } else if (sum != 0.0) {
            first = i;
        }
        b[i] = sum;
    }
    for (int i = N - 1; i >= 0; --i) {
        double sum = b[i];
        for (int j = i + 1; j < N; ++j) sum -= a[i][j] * b[j];
        b[i] = sum / a[i][i];
    }
}

}  // namespace

void ADT_Matrix::Inverse(const ADT_Matrix &src)
{
    double a[N][N];
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < N; ++j) a[i][j] = src.m[N * i + j];
    int index[N];
    decompose(a, index);
    for (int j = 0; j < N; ++j) {
        double col[N] = {0.0, 0.0, 0.0, 0.0};
        col[j] = 1.0;
        substitute(a, index, col);
        // Near-singular input overflows float: keep the entries large but finite.
        for (int i = 0; i < N; ++i) m[N * i + j] = static_cast<float>(std::clamp(col[i], -double(FLT_MAX), double(FLT_MAX)));
    }
}
