#!/usr/bin/env python3
"""Writes flanged_shaft.stl: a turned shaft with a bolting flange, as an ASCII STL.

The part is a solid of revolution about the Z axis (millimetres): a flange 60 across and
8 thick with chamfered edges, a shoulder, and a shaft 20 across that ends in a chamfered
tip, 80 long in all. Run it from anywhere; it writes next to itself.
"""
import math
import os

SEGMENTS = 48

# The profile, (radius, z) from the axis at the flange's face round to the axis at the tip.
PROFILE = [
    (0.0, 0.0),
    (29.0, 0.0),
    (30.0, 1.0),
    (30.0, 7.0),
    (29.0, 8.0),
    (14.0, 8.0),
    (14.0, 14.0),
    (10.0, 16.0),
    (10.0, 78.0),
    (8.0, 80.0),
    (0.0, 80.0),
]


def point(radius, z, k):
    a = 2.0 * math.pi * k / SEGMENTS
    return (radius * math.cos(a), radius * math.sin(a), z)


def normal(a, b, c):
    u = [b[i] - a[i] for i in range(3)]
    v = [c[i] - a[i] for i in range(3)]
    n = (u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0])
    length = math.sqrt(sum(x * x for x in n))
    return tuple(x / length for x in n)


def triangles():
    """Counter-clockwise seen from outside the solid."""
    for (r0, z0), (r1, z1) in zip(PROFILE, PROFILE[1:]):
        for k in range(SEGMENTS):
            a, b = point(r0, z0, k), point(r0, z0, k + 1)
            c, d = point(r1, z1, k + 1), point(r1, z1, k)
            # The profile runs from the flange face to the tip while k goes round +Z, so
            # the quad a, b, c, d faces outwards; a zero radius collapses it to a triangle.
            if r0 > 0.0:
                yield (a, b, d)
            if r1 > 0.0:
                yield (b, c, d)


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "flanged_shaft.stl")
    with open(out, "w", newline="\n") as f:
        f.write("solid flanged_shaft\n")
        for t in triangles():
            n = normal(*t)
            f.write("  facet normal %.6f %.6f %.6f\n    outer loop\n" % n)
            for p in t:
                f.write("      vertex %.4f %.4f %.4f\n" % p)
            f.write("    endloop\n  endfacet\n")
        f.write("endsolid flanged_shaft\n")


if __name__ == "__main__":
    main()
