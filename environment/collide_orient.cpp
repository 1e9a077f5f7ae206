// Exact orientation sign: a filtered double evaluation with an exact expansion fallback.
#include "environment/collide_orient.h"

#include <cmath>
#include <limits>

namespace kiv::env {
namespace {

// Expansions: sums of non-overlapping doubles in increasing magnitude; the last non-zero
// component carries the sign. Bounds: a difference has 2 terms, a product of three
// differences 32, a 2 x 2 minor times a difference 64, the whole determinant 192.
constexpr int kMax = 192;

void two_sum(double a, double b, double &x, double &y)
{
    x = a + b;
    const double bv = x - a;
    y = (a - (x - bv)) + (b - bv);
}

void two_product(double a, double b, double &x, double &y)
{
    x = a * b;
    y = std::fma(a, b, -x);
}

// h = e + f, zero components dropped.
int sum(const double *e, int ne, const double *f, int nf, double *h)
{
    double tmp[kMax];
    int n = 0;
    for (int i = 0; i < ne; ++i) tmp[n++] = e[i];
    for (int j = 0; j < nf; ++j) {
        // Grow the expansion by f[j].
        double q = f[j];
        int m = 0;
        for (int i = 0; i < n; ++i) {
            double s, err;
            two_sum(q, tmp[i], s, err);
            q = s;
            if (err != 0.0) tmp[m++] = err;
        }
        if (q != 0.0) tmp[m++] = q;
        n = m;
    }
    for (int i = 0; i < n; ++i) h[i] = tmp[i];
    return n;
}

// h = e * b, zero components dropped.
int scale(const double *e, int ne, double b, double *h)
{
    int n = 0;
    double q = 0.0;
    for (int i = 0; i < ne; ++i) {
        double p, perr;
        two_product(e[i], b, p, perr);
        double s, err;
        two_sum(q, perr, s, err);
        if (err != 0.0) h[n++] = err;
        two_sum(p, s, q, err);
        if (err != 0.0) h[n++] = err;
    }
    if (q != 0.0) h[n++] = q;
    return n;
}

// h = e * f.
int product(const double *e, int ne, const double *f, int nf, double *h)
{
    int n = 0;
    double part[kMax], acc[kMax];
    for (int j = 0; j < nf; ++j) {
        const int np = scale(e, ne, f[j], part);
        n = sum(h, n, part, np, acc);
        for (int i = 0; i < n; ++i) h[i] = acc[i];
    }
    return n;
}

struct Exp {
    double v[kMax];
    int n = 0;
};

Exp difference(double a, double b)
{
    Exp r;
    double x, y;
    two_sum(a, -b, x, y);
    if (y != 0.0) r.v[r.n++] = y;
    if (x != 0.0) r.v[r.n++] = x;
    return r;
}

Exp mul(const Exp &a, const Exp &b)
{
    Exp r;
    r.n = product(a.v, a.n, b.v, b.n, r.v);
    return r;
}

Exp add(const Exp &a, const Exp &b)
{
    Exp r;
    r.n = sum(a.v, a.n, b.v, b.n, r.v);
    return r;
}

Exp negate(Exp a)
{
    for (int i = 0; i < a.n; ++i) a.v[i] = -a.v[i];
    return a;
}

int exact_sign(const double a[3], const double b[3], const double c[3], const double d[3])
{
    Exp ad[3], bd[3], cd[3];
    for (int i = 0; i < 3; ++i) {
        ad[i] = difference(a[i], d[i]);
        bd[i] = difference(b[i], d[i]);
        cd[i] = difference(c[i], d[i]);
    }
    const Exp m1 = add(mul(bd[1], cd[2]), negate(mul(bd[2], cd[1])));
    const Exp m2 = add(mul(cd[1], ad[2]), negate(mul(cd[2], ad[1])));
    const Exp m3 = add(mul(ad[1], bd[2]), negate(mul(ad[2], bd[1])));
    const Exp det = add(add(mul(ad[0], m1), mul(bd[0], m2)), mul(cd[0], m3));
    if (det.n == 0) return 0;
    return det.v[det.n - 1] > 0.0 ? 1 : -1;
}

}  // namespace

int orient3d_sign(const double a[3], const double b[3], const double c[3], const double d[3])
{
    const double adx = a[0] - d[0], ady = a[1] - d[1], adz = a[2] - d[2];
    const double bdx = b[0] - d[0], bdy = b[1] - d[1], bdz = b[2] - d[2];
    const double cdx = c[0] - d[0], cdy = c[1] - d[1], cdz = c[2] - d[2];
    const double bdxcdy = bdx * cdy, cdxbdy = cdx * bdy;
    const double cdxady = cdx * ady, adxcdy = adx * cdy;
    const double adxbdy = adx * bdy, bdxady = bdx * ady;
    const double det = adz * (bdxcdy - cdxbdy) + bdz * (cdxady - adxcdy) + cdz * (adxbdy - bdxady);
    const double permanent = (std::fabs(bdxcdy) + std::fabs(cdxbdy)) * std::fabs(adz) +
                             (std::fabs(cdxady) + std::fabs(adxcdy)) * std::fabs(bdz) +
                             (std::fabs(adxbdy) + std::fabs(bdxady)) * std::fabs(cdz);
    // The bound of the plain evaluation (Shewchuk's errboundA) with a little slack.
    constexpr double eps = std::numeric_limits<double>::epsilon() / 2;
    const double bound = (7.0 + 64.0 * eps) * eps * permanent;
    if (det > bound) return 1;
    if (-det > bound) return -1;
    return exact_sign(a, b, c, d);
}

}  // namespace kiv::env
