#include "graphics/viewpoint.h"

#include "graphics/universe.h"

#include <kivctrl/qel_math.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

struct GSviewpoint {
    float position[3] = {0, 0, 0};
    // The camera's rotation: camera axes to world axes.
    QEL_QUAT orientation{0, 0, 0, 1};
    double viewangle = 45.0;
    double aspect = 1.0;
    double hither = 0.5;
    double yon = 1000.0;
    float lodfactor = 0.0f;

    void update_lodfactor()
    {
        const int vh = GSuniverse_record().height;
        const double t = std::tan(viewangle * 3.14159265358979323846 / 360.0);
        lodfactor = vh ? float(4.0 * t * t / (double(vh) * vh)) : 0.0f;
    }
};

namespace {
GSviewpoint &viewpoint()
{
    static GSviewpoint vp;
    return vp;
}
} // namespace

GSviewpoint *GSuniverse_getviewpoint()
{
    return &viewpoint();
}

void GSviewpoint_setposition(GSviewpoint *vp, float p[3])
{
    vp->position[0] = p[0];
    vp->position[1] = p[1];
    vp->position[2] = p[2];
    GSuniverse_changed(1);
}

void GSviewpoint_getposition(GSviewpoint *vp, float out[3])
{
    out[0] = vp->position[0];
    out[1] = vp->position[1];
    out[2] = vp->position[2];
}

void GSviewpoint_setorientation(GSviewpoint *vp, float q[4])
{
    vp->orientation = QEL_QUAT(q);
    GSuniverse_changed(1);
}

void GSviewpoint_getorientation(GSviewpoint *vp, float out[4])
{
    const QEL_QUAT q = vp->orientation.standard();
    out[0] = q.x, out[1] = q.y, out[2] = q.z, out[3] = q.w;
}

void GSviewpoint_setviewangle(GSviewpoint *vp, double degrees)
{
    vp->viewangle = degrees;
    vp->update_lodfactor();
    GSuniverse_changed(1);
}

double GSviewpoint_getviewangle(GSviewpoint *vp)
{
    return vp->viewangle;
}

void GSviewpoint_sethithervalue(GSviewpoint *vp, float hither)
{
    vp->hither = hither;
    GSuniverse_changed(1);
}

void GSviewpoint_setyonvalue(GSviewpoint *vp, float yon)
{
    vp->yon = yon;
    GSuniverse_changed(1);
}

void GSviewpoint_setaspect(double aspect)
{
    GSviewpoint &vp = viewpoint();
    vp.aspect = aspect;
    vp.update_lodfactor();
}

double GSviewpoint_aspect()
{
    return viewpoint().aspect;
}

void GSviewpoint_applyprojection()
{
    const GSviewpoint &vp = viewpoint();
    gluPerspective(vp.viewangle, vp.aspect, vp.hither, vp.yon);
}

void GSviewpoint_applyview()
{
    const GSviewpoint &vp = viewpoint();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    // The camera looks along its +Z axis with +Y down; OpenGL's eye looks along -Z, +Y up.
    static const float flip[16] = {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
    glLoadMatrixf(flip);
    // Row-major camera rotation handed over as is: OpenGL applies its transpose, the
    // world-to-camera rotation.
    float m[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    for (int j = 0; j < 3; ++j) {
        QEL_VECT3 axis(j == 0, j == 1, j == 2);
        const QEL_VECT3 col = vp.orientation.xform(axis);
        m[j] = col.x, m[4 + j] = col.y, m[8 + j] = col.z;
    }
    glMultMatrixf(m);
    glTranslatef(-vp.position[0], -vp.position[1], -vp.position[2]);
}

bool GSviewpoint_sizetest(float r2, const float p[3], float t)
{
    const GSviewpoint &vp = viewpoint();
    const float dx = vp.position[0] - p[0], dy = vp.position[1] - p[1], dz = vp.position[2] - p[2];
    return r2 <= (dx * dx + dy * dy + dz * dz) * vp.lodfactor * t;
}

const float *GSviewpoint_position()
{
    return viewpoint().position;
}

void GSviewpoint_viewmatrix(double m[16])
{
    const GSviewpoint &vp = viewpoint();
    // Eye axes are the camera's with y and z turned round; rows of the world-to-eye rotation.
    double r[3][3];
    for (int j = 0; j < 3; ++j) {
        QEL_VECT3 axis(j == 0, j == 1, j == 2);
        const QEL_VECT3 col = vp.orientation.xform(axis);
        const double sign = j == 0 ? 1.0 : -1.0;
        r[j][0] = sign * col.x, r[j][1] = sign * col.y, r[j][2] = sign * col.z;
    }
    for (int c = 0; c < 3; ++c) {
        for (int row = 0; row < 3; ++row)
            m[4 * c + row] = r[row][c];
        m[4 * c + 3] = 0.0;
    }
    for (int row = 0; row < 3; ++row)
        m[12 + row] = -(r[row][0] * vp.position[0] + r[row][1] * vp.position[1] + r[row][2] * vp.position[2]);
    m[15] = 1.0;
}

void GSviewpoint_projectionmatrix(double m[16])
{
    const GSviewpoint &vp = viewpoint();
    const double f = 1.0 / std::tan(vp.viewangle * 3.14159265358979323846 / 360.0);
    const double n = vp.hither, fa = vp.yon;
    for (int i = 0; i < 16; ++i)
        m[i] = 0.0;
    m[0] = f / vp.aspect;
    m[5] = f;
    m[10] = (fa + n) / (n - fa);
    m[11] = -1.0;
    m[14] = 2.0 * fa * n / (n - fa);
}
