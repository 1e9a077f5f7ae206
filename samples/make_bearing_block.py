#!/usr/bin/env python3
"""Writes bearing_block.kvasf and its parts: a pillow-block bearing as an assembly file.

A base plate, a bearing housing with a flanged shaft through it (the sample part
flanged_shaft.stl), and four bolts that are instances of one part file, arranged in nested
groups, with a light, a viewpoint named "overview", a preset view "side" and materials.
Millimetres. An object's location places the middle of its part's box, so every part is
modelled about its own middle. The parts are modelled with Z up; the top group turns them so that the
assembly stands with +Y up, as the standard views expect, the shaft's axis along X. Run it
from anywhere; it writes next to itself (the assembly, and its parts under
bearing_block_parts/).
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
PARTS = "bearing_block_parts"


def normal(a, b, c):
    u = [b[i] - a[i] for i in range(3)]
    v = [c[i] - a[i] for i in range(3)]
    n = (u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0])
    length = math.sqrt(sum(x * x for x in n)) or 1.0
    return tuple(x / length for x in n)


def prism(outline, z0, z1):
    """Triangles of a straight prism over a convex outline given counter-clockwise in XY."""
    n = len(outline)
    bottom = [(x, y, z0) for x, y in outline]
    top = [(x, y, z1) for x, y in outline]
    for k in range(1, n - 1):
        yield (bottom[0], bottom[k + 1], bottom[k])
        yield (top[0], top[k], top[k + 1])
    for k in range(n):
        a, b = bottom[k], bottom[(k + 1) % n]
        c, d = top[(k + 1) % n], top[k]
        yield (a, b, c)
        yield (a, c, d)


def polygon(radius, sides, phase=0.0):
    return [(radius * math.cos(phase + 2 * math.pi * k / sides),
             radius * math.sin(phase + 2 * math.pi * k / sides)) for k in range(sides)]


def box(sx, sy, sz, z0=None):
    outline = [(-sx / 2, -sy / 2), (sx / 2, -sy / 2), (sx / 2, sy / 2), (-sx / 2, sy / 2)]
    bottom = -sz / 2 if z0 is None else z0
    return prism(outline, bottom, bottom + sz)


def bolt():
    """A hexagon head 6 high on a round shank 30 long pointing down, 36 in all."""
    yield from prism(polygon(8.0, 6, math.pi / 6), 12.0, 18.0)
    yield from prism(polygon(5.0, 24), -18.0, 12.0)


def housing():
    """A round bearing housing lying along X on a pedestal: 92 high, its axis 14 above the
    middle."""
    yield from box(40.0, 50.0, 30.0, -46.0)
    for a, b, c in prism(polygon(32.0, 48), -20.0, 20.0):
        # The prism is built along Z; turn it to lie along X.
        yield tuple((p[2], p[0], p[1] + 14.0) for p in (a, b, c))


def write_stl(name, triangles):
    path = os.path.join(HERE, PARTS, name)
    with open(path, "w", newline="\n") as f:
        f.write("solid %s\n" % name)
        for t in triangles:
            f.write("  facet normal %.6f %.6f %.6f\n    outer loop\n" % normal(*t))
            for p in t:
                f.write("      vertex %.4f %.4f %.4f\n" % p)
            f.write("    endloop\n  endfacet\n")
        f.write("endsolid %s\n" % name)


ASSEMBLY = """; A pillow-block bearing, written by make_bearing_block.py.
ENVIRONMENT (
  BACKGROUND ( 0.24, 0.27, 0.32 )
  UNITS ( 1 )
  PRESET ( NAME ( side ) LOCATION ( 0, 50, 450 ) ORIENTATION ( 0, 180, 180 ) )
  LIGHT ( NAME ( "work light" ) LOCATION ( 100, 300, 150 ) ACTIVE ( 1 ) )
  VIEWPOINT ( NAME ( overview ) LOCATION ( 225, 387, 195 ) ORIENTATION ( 120, -30, -45 )
    VIEWANGLE ( 30 ) ACTIVE ( 1 ) )
  GROUP ( NAME ( "bearing block" ) ORIENTATION ( -90, 0, 0 )
    OBJECT ( NAME ( "base plate" ) FILE ( {parts}/base_plate.stl ) LOCATION ( 0, 0, 6 )
      COLOR ( 0.55, 0.57, 0.6 ) SPECULAR ( 0.3 ) SHININESS ( 20 ) ACTIVE ( 1 ) )
    GROUP ( NAME ( bearing ) LOCATION ( 0, 0, 12 )
      OBJECT ( NAME ( housing ) FILE ( {parts}/housing.stl ) LOCATION ( 0, 0, 46 )
        COLOR ( 0.16, 0.35, 0.62 ) ACTIVE ( 1 ) )
      OBJECT ( NAME ( shaft ) FILE ( flanged_shaft.stl ) LOCATION ( 0, 0, 60 )
        ORIENTATION ( 0, 90, 0 ) COLOR ( 0.8, 0.8, 0.78 ) SPECULAR ( 0.8 ) SHININESS ( 60 )
        ACTIVE ( 1 ) )
    )
    GROUP ( NAME ( bolts ) LOCATION ( 0, 0, 12 )
{bolts}    )
  )
)
"""

BOLT = """      OBJECT ( NAME ( "bolt {n}" ) FILE ( {parts}/bolt.stl ) LOCATION ( {x}, {y}, -12 )
        COLOR ( 0.85, 0.7, 0.25 ) ACTIVE ( 1 ) )
"""


def main():
    os.makedirs(os.path.join(HERE, PARTS), exist_ok=True)
    write_stl("base_plate.stl", box(160.0, 90.0, 12.0))
    write_stl("housing.stl", housing())
    write_stl("bolt.stl", bolt())
    corners = [(-65, -30), (65, -30), (65, 30), (-65, 30)]
    bolts = "".join(BOLT.format(n=n + 1, x=x, y=y, parts=PARTS) for n, (x, y) in enumerate(corners))
    with open(os.path.join(HERE, "bearing_block.kvasf"), "w", newline="\n") as f:
        f.write(ASSEMBLY.format(parts=PARTS, bolts=bolts))


if __name__ == "__main__":
    main()
