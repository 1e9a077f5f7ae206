// Textures of graphics objects: one image per object, projected onto its surfaces.
//
// GSobject_settexture creates the object's texture record (and its texture attribute) from an
// image file; the other setters change the record and do nothing when the object has none.
// Setters never touch OpenGL: the image is uploaded by the renderer, per GL context, when the
// object is drawn. Each setter marks the universe changed.
#pragma once

class GSobject;

// Loads the image at path as the object's texture. The same path as the current one changes
// nothing. A null path, or an image that cannot be read, removes the texture and gives false.
bool GSobject_settexture(GSobject *obj, const char *path);
// 1 cylindrical, 2 spherical, anything else planar.
void GSobject_settexturemethod(GSobject *obj, int method);
// 1 linear filtering, anything else nearest.
void GSobject_settexturequality(GSobject *obj, int quality);
// 0 repeat, 1 clamp with a border in the object's colour, 2 reflection (sphere map).
void GSobject_settexturetype(GSobject *obj, int type);
// The 2D transform in texture space: scale (s, t), offset (s, t) and rotation in degrees.
void GSobject_settexturescale(GSobject *obj, const float s[2]);
void GSobject_settexturepos(GSobject *obj, const float p[2]);
void GSobject_settextureorient(GSobject *obj, float degrees);
// The frame that places the projection on the object: scale, origin and rotation (x, y, z, w).
void GSobject_settexturegridscale(GSobject *obj, const float s[3]);
void GSobject_settexturegridpos(GSobject *obj, const float p[3]);
void GSobject_settexturegridorient(GSobject *obj, const float q[4]);
// Bit 0 set: the texture is shown; clear: kept but not drawn.
void GSobject_settextureactive(GSobject *obj, int active);
// Whether the object has a texture record.
bool GSobject_hastexture(GSobject *obj);
