// The 4 x 4 matrix of the graphics system and its 3-component point.
//
// Storage is row by row: element (row i, column j) is at index 4i + j. Points are column
// vectors, so a translation sits in column 3 (indices 3, 7, 11).
#pragma once

#include <kivctrl/qel_math.h>

struct ADT_PointD3 {
    float x, y, z;
};

class ADT_Matrix {
public:
    float m[16];

    void Identity();
    // The unit matrix with t as translation.
    void Translate(const ADT_PointD3 &t);
    // diag(s.x, s.y, s.z, 1).
    void Scale(const ADT_PointD3 &s);
    // The inverse of m by LU decomposition; a singular m gives huge but finite entries.
    void Inverse(const ADT_Matrix &m);
    void Transpose(const ADT_Matrix &m);
    void Transpose();
    // R(q)ᵀ of the quaternion convention, scaled by 2/|q|² (a zero q gives the unit matrix).
    void FromQuat(const QEL_QUAT &q);
    // The standard quaternion whose matrix this is: rows 0, 1, 2 are taken as the x, y and z axes.
    void ToQuat(QEL_QUAT &q) const;
    // The sixteen floats in storage order; OpenGL reads them as the transpose.
    void OGLConvert(float *dst) const;
};

// The ordinary product, accumulated in double precision.
ADT_Matrix operator*(const ADT_Matrix &a, const ADT_Matrix &b);
// m·(p, 1), divided by w only when w is neither 1 nor 0.
ADT_PointD3 operator*(const ADT_Matrix &m, const ADT_PointD3 &p);
