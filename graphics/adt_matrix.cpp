// Construction, products and quaternion conversion of ADT_Matrix.
#include <kivctrl/adt_matrix.h>

#include <algorithm>
#include <iterator>
#include <utility>

void ADT_Matrix::Identity()
{
    std::fill(std::begin(m), std::end(m), 0.0f);
    m[0] = m[5] = m[10] = m[15] = 1.0f;
}

void ADT_Matrix::Translate(const ADT_PointD3 &t)
{
    Identity();
    m[3] = t.x;
    m[7] = t.y;
    m[11] = t.z;
}

void ADT_Matrix::Scale(const ADT_PointD3 &s)
{
    Identity();
    m[0] = s.x;
    m[5] = s.y;
    m[10] = s.z;
}

void ADT_Matrix::Transpose(const ADT_Matrix &src)
{
    if (&src == this) {
        Transpose();
        return;
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m[4 * i + j] = src.m[4 * j + i];
}

void ADT_Matrix::Transpose()
{
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) std::swap(m[4 * i + j], m[4 * j + i]);
}

void ADT_Matrix::FromQuat(const QEL_QUAT &q)
{
    const float n = q.sqrmag();
    const float s = n > 0.0f ? 2.0f / n : 0.0f;
    const float xs = q.x * s, ys = q.y * s, zs = q.z * s;
    const float wx = q.w * xs, wy = q.w * ys, wz = q.w * zs;
    const float xx = q.x * xs, xy = q.x * ys, xz = q.x * zs;
    const float yy = q.y * ys, yz = q.y * zs, zz = q.z * zs;
    const float r[16] = {
        1.0f - (yy + zz), xy - wz,          xz + wy,          0.0f,
        xy + wz,          1.0f - (xx + zz), yz - wx,          0.0f,
        xz - wy,          yz + wx,          1.0f - (xx + yy), 0.0f,
        0.0f,             0.0f,             0.0f,             1.0f,
    };
    std::copy(std::begin(r), std::end(r), m);
}

void ADT_Matrix::ToQuat(QEL_QUAT &q) const
{
    q.fromaxes(&m[0], &m[4], &m[8]);
}

void ADT_Matrix::OGLConvert(float *dst) const
{
    std::copy(std::begin(m), std::end(m), dst);
}

ADT_Matrix operator*(const ADT_Matrix &a, const ADT_Matrix &b)
{
    ADT_Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += double(a.m[4 * i + k]) * b.m[4 * k + j];
            r.m[4 * i + j] = static_cast<float>(sum);
        }
    return r;
}

ADT_PointD3 operator*(const ADT_Matrix &m, const ADT_PointD3 &p)
{
    const float *e = m.m;
    ADT_PointD3 r{e[0] * p.x + e[1] * p.y + e[2] * p.z + e[3],
                  e[4] * p.x + e[5] * p.y + e[6] * p.z + e[7],
                  e[8] * p.x + e[9] * p.y + e[10] * p.z + e[11]};
    const float w = e[12] * p.x + e[13] * p.y + e[14] * p.z + e[15];
    if (w != 1.0f && w != 0.0f) {
        r.x /= w;
        r.y /= w;
        r.z /= w;
    }
    return r;
}
