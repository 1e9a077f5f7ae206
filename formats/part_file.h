// The pieces that every part file form shares: the readers and writers behind
// GSobject_read and GSobject_write, and the steps that build the object being read.
#pragma once

#include "graphics/gs_object.h"

#include <array>
#include <stdexcept>
#include <string>

class QelFileReader;
class QelFileWriter;

// Why a part file could not be read; the message is shown to the user.
class PartFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A reader fills a fresh object with the file's vertices, normals and face groups, or
// throws PartFileError; GSobject_read finishes the object afterwards.
using PartReadFn = void (*)(ADT_Object &obj, QelFileReader &in);
// A writer returns false when the stream reported an error.
using PartWriteFn = bool (*)(ADT_Object &obj, QelFileWriter &out);

void kvg_read(ADT_Object &obj, QelFileReader &in);
bool kvg_write(ADT_Object &obj, QelFileWriter &out);
void kvb_read(ADT_Object &obj, QelFileReader &in);
bool kvb_write(ADT_Object &obj, QelFileWriter &out);
bool vrml1_write(ADT_Object &obj, QelFileWriter &out);
bool vrml2_write(ADT_Object &obj, QelFileWriter &out);

// A new face group of obj, as an ADT_Face child whose sub-mesh receives the polygon records.
GSsubmesh &part_add_face_group(ADT_Object &obj);

// Sets a list's bounds from a file: a box with min above max on any axis becomes the point
// (0, 0, 0); midpoint and radius follow the box.
void part_set_bounds(GSpolylist &list, const float bounds[6]);
// The box of the vertices a list's corners use (every vertex for null), as readers take it:
// an empty box is the point (0, 0, 0).
std::array<float, 6> part_bounds(const GSmesh &mesh, const GSpolylist *corners_of);

// Why a corner cannot be used with nv vertices and nn normals (a vertex index outside
// 0..nv-1, a normal index outside -1..nn-1); empty when it can.
std::string part_corner_fault(const GScorner &c, size_t nv, size_t nn);

// Why a record of a kind cannot hold n corners: kinds whose records merge when closed must
// hold whole primitives, or a merged record would pair the corners of different primitives.
// Empty when it can.
std::string part_record_fault(int kind, size_t n);
