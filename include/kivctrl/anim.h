// The animation list (time line) of an assembly and its playback.
//
// Paths are placed on a time line of integer frames; each placement fills one entry per frame
// it covers with an _aframe_struct naming the object, the path and where inside the path the
// frame falls. A placement of a path with n nodes and `steps` s at start S covers the frames
// v = ceil(S), ceil(S) + 1, ... while v < S + (n - 1) * s + 1; an empty path covers none.
// Starts must be finite and >= 0 and steps finite and > 0; the time line holds at most
// ANIM_MAX_FRAMES entries. Refusals are reported as errors (message 5).
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class _object;
class _path;
class KivAssembly;

constexpr int ANIM_MAX_FRAMES = 1000000;

// One placement of a path on the time line.
class _animpath_struct {
public:
    _path *path = nullptr;
    double start = 0.0;  // frame at which the path's first node is reached
    int direction = 1;   // 1 forward, -1 backward
};

// The placements of one object, in ascending start order.
class _animobj_struct {
public:
    explicit _animobj_struct(_object *o) : object(o) {}
    _animpath_struct *FindAnimPath(_path *p, double start, int direction);

    _object *object;
    std::vector<std::unique_ptr<_animpath_struct>> paths;
};

// One object/path pair at one frame.
class _aframe_struct {
public:
    _aframe_struct() = default;
    _aframe_struct(const _aframe_struct &) = default;
    _aframe_struct(_aframe_struct &&) = default;
    // Whole-record moves (the time line's own storage) keep every field.
    _aframe_struct &operator=(_aframe_struct &&) = default;
    // Copies every field but `time`.
    _aframe_struct &operator=(const _aframe_struct &other);

    _object *object = nullptr;
    _path *path = nullptr;
    double start = 0.0;
    double time = 0.0;  // fraction 0 <= time < 1 inside the current segment
    int segment = 0;    // index of the node the segment starts at
    int direction = 1;
};

// One frame of the time line: its number and its aframes in insertion order. The records are
// stored in place; pointers to them last until the entry changes.
class _animframe_struct {
public:
    explicit _animframe_struct(int n) : number(n) {}
    int count() const { return static_cast<int>(aframes.size()); }
    // Record i (1-based) or null.
    _aframe_struct *get(int i);
    void append(const _aframe_struct &a);
    // Removes the first record of this object, path, start and direction; false if none.
    bool remove(_object *o, _path *p, double start, int direction);
    std::size_t bytes() const { return aframes.capacity() * sizeof(_aframe_struct); }

    int number;
    std::vector<_aframe_struct> aframes;
};

// The time line of an assembly, owned by its root.
class _anim_struct {
public:
    _animobj_struct *FindAnimObj(_object *o);
    // The existing record or a new one (message 1204): the root's goes first, others last.
    _animobj_struct *AddAnimObj(_object *o);
    _animpath_struct *FindAnimPath(_object *o, _path *p, double start, int direction);
    _animpath_struct *FindAnimPath(_aframe_struct *a);
    int frame_count() const { return static_cast<int>(frames.size()); }
    // Entry k (0-based) or null.
    _animframe_struct *get_frame(int k);
    // Memory held by the frame entries and their records.
    std::size_t frame_bytes() const;

    std::vector<_animframe_struct> frames;
    std::vector<std::unique_ptr<_animobj_struct>> objects;
    // Playback cursor: the current entry, -1 when it stands before the first.
    int cursor = -1;
};

_animobj_struct *anim_find_object(_object *o);
_animobj_struct *anim_add_object(_object *o);
// Removes every placement of the object and deletes its record; returns null.
void *anim_remove_object(_object *o);
// Places p on o's time line at start in direction; 1 for a null object or path or a refused
// start, steps or length, else 0.
int anim_add_path(_object *o, _path *p, double start, int direction);
// Removes the placement of p at exactly this start and direction; 1 for a null object.
int anim_remove_path(_object *o, _path *p, double start, int direction);
// Re-places every placement of p on o after p changed, pushing later overlapping placements
// of o back; 1 when o has no record or p no placement.
int anim_update_path(_object *o, _path *p);
// The first placement of o whose span overlaps the span p would have at start.
_animpath_struct *anim_path_fit(_object *o, _path *p, double start);
// Removes every placement of p on any object.
void anim_remove_path_everywhere(_path *p);
int anim_clear_paths(_object *o);
// The current assembly's list: every object removed, destroyed (message 1203); 0.
int anim_clear();
// Destroys the current assembly's list when it has no frame entries left; 1.
int anim_check_clear();
int anim_hilite_track(_object *o, int on);
void anim_insert_frames(KivAssembly *a, int at, int count);
void anim_remove_frames(KivAssembly *a, double from, double to);
void anim_mirror(KivAssembly *a, int = 0, int = 0, int = 0);
void anim_reverse(KivAssembly *a, int = 0, int = 0);
void anim_sort(KivAssembly *a, int frame);

// The playback flags: stop (set by traverse_stop, cleared by traverse_clear) ends playback at
// the next tick; loop (toggled by traverse_loop) starts it again from frame 0 at the end.
void traverse_stop();
void traverse_clear();
void traverse_loop();
int traverse_get_loop();

// What an assembly inserted into another contributes: its path definitions and PATHLIST when
// `paths` is set, its ANIMATIONLIST when `list` is set as well, and `frames` added to every
// start of that list when all three are. All 0 at start.
void SetInsertComponentPathInfo(int paths, int list, int frames);
struct InsertPathInfo {
    int paths = 0;
    int list = 0;
    int frames = 0;
};
InsertPathInfo insert_component_path_info();
// 1 while the animation plays.
int path_get_autostate();
