// Euler-angle conversions in double precision (the Graphics Gems IV formulation).
//
// A set of Euler angles is held in a Quat record: x, y, z are the three angles in radians
// and w carries the axis-order code ((((inner axis·2 + parity)·2 + repetition)·2) + frame).
// The engine uses order 0 only: axes X, Y, Z, even parity, no repetition, static axes.
#pragma once

struct Quat {
    double x, y, z, w;
};
typedef Quat EulerAngles;
typedef double HMatrix[4][4];

enum {
    EulOrdXYZs = 0,  // the order of every Euler angle stored by the engine
};

// The homogeneous rotation matrix of a set of Euler angles (w is the order code).
void Eul_ToHMatrix(Quat ea, double M[4][4]);
// The Euler angles of the rotation part of M, for the given order; at gimbal lock (the cosine
// of the middle angle not above 2^-19) the third angle is 0.
EulerAngles Eul_FromHMatrix(double M[4][4], int order);

// The textbook (Hamilton) quaternion of a set of Euler angles, and back.
Quat Eul_ToQuat(EulerAngles ea);
EulerAngles Eul_FromQuat(Quat q, int order);
