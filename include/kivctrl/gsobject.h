// Graphics objects: nodes of the graphics system's own scene, their meshes, polygons,
// vertices, attributes and placement.
//
// Objects are handled through opaque pointers. An ADT_Object (a part or assembly node) has a
// pivot, an offset and an orientation relative to its parent, a mesh and children; an
// ADT_Face is a face group inside an ADT_Object: a sub-mesh over its parent's vertices with
// its own polygons and attributes, placed and shown with its parent.
//
// Building order: GSobject_begin, GSobject_addvertex for each vertex, then per polygon
// GSpoly_begin*, GSpoly_addvertex for each corner and GSpoly_close, and finally
// GSobject_close, which merges duplicate vertices, smooths normals within the crease angle
// and quantises them. Points and quaternions are passed as float arrays (x, y, z) and
// (x, y, z, w).
#pragma once

#include <kivctrl/adt_matrix.h>

class GSobject;
struct GSpoly;
struct GSsubmesh;
struct GSnote;

// Object kinds: GSobject_kind.
enum { GS_KIND_OBJECT = 1, GS_KIND_FACE = 2 };

// What an object stands for (GSobject_setobjecttype).
enum GSobjtype {
    GS_OBJTYPE_GEOMETRY = 0,
    GS_OBJTYPE_ASSEMBLY = 1,
    GS_OBJTYPE_POINTLIGHT = 2,
    GS_OBJTYPE_DIRECTEDLIGHT = 3,
    GS_OBJTYPE_SPOTLIGHT = 4,
    GS_OBJTYPE_VIEWPOINT = 5,
    GS_OBJTYPE_WORLD = 6,
    GS_OBJTYPE_ANNOTATION = 7,
};

// The frame a point is given or asked for in.
enum GSframe { GS_FRAME_LOCAL = 0, GS_FRAME_WORLD = 1 };

// File forms of GSobject_read and GSobject_write.
enum GSfileformat { GS_FILE_TEXT = 0, GS_FILE_BINARY = 1, GS_FILE_VRML1 = 2, GS_FILE_VRML2 = 3 };

// Polygon kinds: the OpenGL primitive modes, named as in the text part format.
enum GSpolykind {
    GS_POINTS = 0,
    GS_LINES = 1,
    GS_LINE_LOOP = 2,
    GS_LINE_STRIP = 3,
    GS_TRIANGLES = 4,
    GS_TRIANGLE_STRIP = 5,
    GS_TRIANGLE_FAN = 6,
    GS_QUADS = 7,
    GS_QUAD_STRIP = 8,
    GS_POLYGON = 9,
};

struct GScolorRGB {
    float r, g, b;
};

// One corner of one primitive, as returned by GSpolygon_getvertex (or a free vertex made by
// GSvertex_new).
struct GSvertex {
    float position[3];
    float normal[3];
    GSobject *object;  // set only for polygons reached from an ADT_Object: world frame allowed
    GSpoly *polygon;
    int primitive;     // index of the primitive within the polygon record
    int corner;        // corner index within the primitive
    bool hasnormal;
};

// Polygon iterator: one primitive of one polygon record.
struct GSpolygon {
    GSobject *object;
    GSsubmesh *facegroup;  // null while in the object's own polygons
    GSpoly *poly;
    int primitive;
};

// Creation and lifetime.
GSobject *GSobject_begin();
GSobject *GSobject_begin(unsigned n);  // room for n vertices
GSobject *GSobject_newinstance(GSobject *source);  // shares source's mesh
// Primitive shapes centred on the origin (null while the generators are not built).
GSobject *GSobject_newblock(float sx, float sy, float sz, unsigned char, unsigned char);
GSobject *GSobject_newcone(float height, float radius, int n, unsigned char, unsigned char);
GSobject *GSobject_newcylinder(float height, float radius, int n, unsigned char, unsigned char,
                               unsigned char);
GSobject *GSobject_newsphere(float radius, int stacks, int slices, unsigned char, unsigned char,
                             unsigned char);
GSobject *GSobject_newplane(float w, float h, unsigned char, unsigned char, unsigned char);
GSobject *GSobject_newhelix(float height, float radius, int samples, float tube, int sides,
                            float turns);
bool GSobject_close(GSobject *obj, float creaseangle);
bool GSobject_close(GSobject *obj, unsigned char, unsigned char);
void GSobject_delete(GSobject *obj);
int GSobject_kind(GSobject *obj);
void GSobject_add(GSobject *obj);
void GSobject_remove(GSobject *obj);
void GSobject_attach(GSobject *parent, GSobject *child);
bool GSobject_detach(GSobject *parent, GSobject *child);
GSobject *GSobject_getparent(GSobject *obj);
void *GSFirstChild(GSobject *obj);
void *GSNextChild(void *link);
GSobject *GSGetChildObject(void *link);
void GSobject_setdata(GSobject *obj, void *data);
void *GSobject_getdata(GSobject *obj);
void GSobject_setaux(GSobject *obj, void *aux);
void GSobject_setname(GSobject *obj, const char *name);
const char *GSobject_getname(GSobject *obj);  // null when never named

// Building a mesh.
GSvertex GSvertex_new(float p[3]);
bool GSvertex_setnormal(GSvertex *v, float n[3]);
bool GSobject_addvertex(GSobject *obj, GSvertex *v);
GSpoly *GSpoly_begin(GSobject *obj);
GSpoly *GSpoly_begintriangles(GSobject *obj, int n);
GSpoly *GSpoly_begintristrip(GSobject *obj, int n);
GSpoly *GSpoly_begintrifan(GSobject *obj, int n);
GSpoly *GSpoly_beginlinestrip(GSobject *obj, int n);
bool GSpoly_addvertex(GSpoly *poly, int index);
void GSpoly_setcolor(GSpoly *poly, float r, float g, float b);
bool GSpoly_close(GSpoly *poly);  // poly must not be used afterwards

// Face groups.
GSobject *GSface_begin();
void GSface_attach(GSobject *obj, GSobject *face);
void GSface_detach(GSobject *obj, GSobject *face);
bool GSface_close(GSobject *face);
void GSface_delete(GSobject *face);
void GSface_active(GSobject *face, int active);
int GSface_calculate_offset(GSobject *face);

// Measures and placement.
void GSobject_getextents(GSobject *obj, float out[3]);
void GSobject_getmidpoint(GSobject *obj, float out[3]);
float GSobject_getradius(GSobject *obj);
void GSobject_getposition(GSobject *obj, float out[3]);
void GSobject_setposition(GSobject *obj, const float p[3]);
void GSobject_getorgposition(GSobject *obj, float out[3]);
void GSobject_setorgposition(GSobject *obj, const float p[3]);
void GSobject_getorientation(GSobject *obj, float q[4]);
void GSobject_setorientation(GSobject *obj, const float q[4]);
void GSobject_getpivot(GSobject *obj, float out[3], GSframe frame);
void GSobject_setpivot(GSobject *obj, const float p[3], GSframe frame);
void GSobject_cachevertexworldpositions(GSobject *obj);

// Polygon and vertex iteration.
int GSobject_npolys(GSobject *obj);
bool GSobject_firstpoly(GSobject *obj, GSpolygon &first);
bool GSpolygon_initpoly(GSobject *obj, GSpolygon &first);
bool GSpolygon_nextpoly(const GSpolygon &cur, GSpolygon &next);
bool GSpolygon_nextlocalpoly(const GSpolygon &cur, GSpolygon &next);
int GSpolygon_nvertices(const GSpolygon &p);
GSvertex GSpolygon_getvertex(const GSpolygon &p, int corner);
void GSpolygon_getcolor(const GSpolygon &p, float &r, float &g, float &b);
bool GSvertex_getposition(GSvertex *v, float out[3], GSframe frame);
bool GSvertex_getnormal(GSvertex *v, float out[3], GSframe frame);
bool GSvertex_getcachedworldposition(GSvertex *v, float out[3]);

// Attributes. A non-negative priority sets the value, a negative one removes it.
void GSobject_setcolor(GSobject *obj, float r, float g, float b, int priority);
void GSobject_setcolor(GSobject *obj, GScolorRGB &c, int priority);
GScolorRGB GSobject_getcolor(GSobject *obj);  // r = -1 when there is none
bool GSobject_colorexists(GSobject *obj);
void GSobject_setspecular(GSobject *obj, float r, float g, float b, int priority);
void GSobject_setshininess(GSobject *obj, float exponent, int priority);
void GSobject_settransparency(GSobject *obj, float opacity, int priority);
void GSobject_setemission(GSobject *obj, float r, float g, float b, int priority);
void GSobject_setambient(GSobject *obj, float r, float g, float b, int priority);
void GSobject_setreflectivity(GSobject *obj, float value, int priority);
void GSobject_setbothsides(GSobject *obj, bool on);
void GSobject_highlight(GSobject *obj, int slot);
void GSobject_dehighlight(GSobject *obj, int slot);
void GSobject_dehighlightall(GSobject *obj);
void GSobject_setrendering(GSobject *obj, unsigned char r);
void GSobject_setvisibility(GSobject *obj, bool visible);
bool GSobject_getvisibility(GSobject *obj);
void GSobject_setdrawenvelope(GSobject *obj, bool on);
void GSobject_setoverrideenvelope(GSobject *obj, bool on);
void GSobject_setdrawtext(GSobject *obj, bool on);
bool GSobject_getdrawtext(GSobject *obj);
void GSobject_setdrawtextcolor(GSobject *obj, float r, float g, float b);
void GSobject_setdrawtextforeground(GSobject *obj, bool on);
void GSobject_settriadradius(GSobject *obj, float radius);
void GSobject_setuserradius(GSobject *obj, float radius);
float GSobject_getuserradius(GSobject *obj);
void GSobject_setobjecttype(GSobject *obj, int type);
int GSobject_getobjecttype(GSobject *obj);
