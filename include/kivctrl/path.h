// Animation paths: key nodes holding a snapshot of an object's animatable state, the mask of
// attributes a path animates, the path editor, lookups, curved-path geometry and the path
// wizard's settings.
//
// Node positions and orientations are expressed in the frame of the animated object's parent.
// A path with n nodes placed at start frame S covers frames S to S + (n - 1) * steps.
#pragma once

#include <kivctrl/obj_attr.h>
#include <kivctrl/path_node.h>
#include <kivctrl/qel_assoc.h>
#include <kivctrl/qel_list.h>
#include <kivctrl/qel_math.h>

#include <cstdint>

class _object;
class _path;
class GSobject;

enum PATH_COMMAND : int {
    PATH_FIRST = 0,
    PATH_LAST = 1,
    PATH_RECORD = 2,
    PATH_NEXT = 3,
    PATH_PREV = 4,
    PATH_DONE = 5,
    PATH_SHOW = 6,
    PATH_HIDE = 7,
    PATH_DELETE_NODE = 8,
    PATH_INSERT_NODE = 9,
    PATH_APPEND_NODE = 10,
    PATH_DELETE = 11,
    PATH_INSERT_AFTER = 12,
};

// Text shown while a path plays. The two integers are carried, never interpreted.
class InstructionInfo {
public:
    InstructionInfo() = default;
    InstructionInfo(const InstructionInfo &) = delete;
    InstructionInfo &operator=(const InstructionInfo &) = delete;
    virtual ~InstructionInfo();
    virtual const char *getText();
    virtual const char *getNote();
    virtual const char *getLink();
    virtual int getInt1();
    virtual int getInt2();
    // Each frees the old copy and stores a copy; null clears.
    virtual void setText(const char *s);
    virtual void setNote(const char *s);
    virtual void setLink(const char *s);
    virtual void setInt1(int v);
    virtual void setInt2(int v);

private:
    char *text_ = nullptr;
    char *note_ = nullptr;
    char *link_ = nullptr;
    int int1_ = 0;
    int int2_ = 0;
};

// The path wizard's settings, kept with a path under "_PATH_WIZ". Getters return the field,
// setters store it.
class PathWizInfo {
public:
    PathWizInfo() = default;
    virtual ~PathWizInfo() = default;
    virtual QEL_VECT3 get_distance() { return distance; }
    virtual int get_units() { return units; }
    virtual QEL_VECT3 get_angles() { return angles; }
    virtual int get_axis() { return axis; }
    virtual int get_fade() { return fade; }
    virtual float get_fadefrom() { return fadefrom; }
    virtual float get_fadeto() { return fadeto; }
    virtual QEL_COLOR get_icolor() { return icolor; }
    virtual QEL_COLOR get_fcolor() { return fcolor; }
    virtual double get_startframe() { return startframe; }
    virtual int get_option1() { return option1; }
    virtual int get_option2() { return option2; }
    virtual int get_option3() { return option3; }
    virtual void set_distance(const QEL_VECT3 &v) { distance = v; }
    virtual void set_units(int v) { units = v; }
    virtual void set_angles(const QEL_VECT3 &v) { angles = v; }
    virtual void set_axis(const int &v) { axis = v; }
    virtual void set_fade(const int &v) { fade = v; }
    virtual void set_fadefrom(const float &v) { fadefrom = v; }
    virtual void set_fadeto(const float &v) { fadeto = v; }
    virtual void set_icolor(const QEL_COLOR &v) { icolor = v; }
    virtual void set_fcolor(const QEL_COLOR &v) { fcolor = v; }
    virtual void set_startframe(double v) { startframe = v; }
    virtual void set_option1(int v) { option1 = v; }
    virtual void set_option2(int v) { option2 = v; }
    virtual void set_option3(int v) { option3 = v; }

    QEL_VECT3 distance{0.0f, 0.0f, 0.0f};
    QEL_VECT3 angles{0.0f, 0.0f, 0.0f};
    float fadefrom = 0.0f;
    float fadeto = 0.0f;
    QEL_COLOR icolor{-1.0f, 0.0f, 0.0f};
    QEL_COLOR fcolor{-1.0f, 0.0f, 0.0f};
    int units = 0;
    int axis = 0;
    int fade = 0;
    double startframe = 0.0;
    int option1 = 1;
    int option2 = 1;
    int option3 = 1;
};

// The animation of one object. Created by path_create (or path_wizard), freed by path_delete.
class _path {
public:
    _path();
    _path(const _path &) = delete;
    _path &operator=(const _path &) = delete;
    virtual ~_path();

    // Sets the node's owner, clears valid and appends; the node's 0-based index.
    int appendPathNode(PathNode *n);
    // Inserts at 0-based index i (appends when i is past the end); clears valid.
    int insertPathNode(int i, PathNode *n);
    // Unlinks and frees node i; false when there is none.
    bool deletePathNode(int i);
    // Node i (0-based) or null.
    PathNode *get_node(int i) const;
    int get_nodecount() const { return nodes.count(); }

    // Bit i of the mask; i outside 0..63 reads 0 and is ignored on write.
    int get_status(int i) const;
    void set_status(int i, int on);
    // 64 when any of bits 32..63 is set, 32 when only bits 0..31 are, else 0.
    int get_statusCount() const;
    // 1 when some node differs from node 0 in attribute i; 0 for fewer than 2 nodes.
    int get_modified(int i) const;

    // Copies at most 255 characters (null: empty); message 1211 with the path.
    void set_name(const char *text);
    const char *get_name() const { return name; }
    // Stores o; hides the drawing unless o is drawn as the selection; 406 (o set) or 407.
    void set_associated_object(_object *o);
    _object *get_associated_object() const { return associated_object; }
    int get_visibility() const { return visibility; }
    int set_visibility(int v);
    ASSOC &get_vars() { return vars; }
    // PATH_SHOW draws the path, PATH_HIDE removes the drawing; other commands do nothing.
    void display_path(PATH_COMMAND c);
    // The path editor's current node (-1 when none).
    int get_currentnode() const;
    // Frames covered: (node count - 1) * steps, 0 for an empty path.
    double get_span() const;

    IList<PathNode> nodes;  // owned
    int id = 0;
    char *guid = nullptr;  // owned
    int visibility = 1;
    int direction = 1;
    int path_type = 0;  // 0 straight segments, otherwise curved
    double steps = 10.0;
    std::uint32_t status[2] = {0, 0};
    GSobject *display = nullptr;
    int valid = 0;  // control points current
    ASSOC vars;     // "_PATH_WIZ" -> PathWizInfo, "_INSTRUCTION" -> InstructionInfo (owned)
    _object *associated_object = nullptr;
    char name[256] = {};
};

// New path with n nodes from the arrays (either may be null: defaults), appended to the current
// root's path list and drawn when something is selected. Null without a current root. The
// double is not used. A null name gives "path_<k>" unique among the live paths.
_path *path_create(const char *name, const QEL_VECT3 positions[], const QEL_QUAT orientations[],
                   int n, double unused = 0.0);
// New path with copies of every node (and the settings) of `from`.
_path *path_create(const char *name, _path *from, double unused = 0.0);
// Takes the path off the time line, its object and the root's list, hides it, sends 1209,
// frees its nodes and extras, sends 215 with its object and frees it.
void path_delete(_path *p);
// With a path: makes it o's current path, adding it to o's list (and associating it) when
// missing; a path taken from another object leaves that object's list. With a null path:
// removes o's current path from its list and makes the first remaining one current. 0 for a
// null object, else 1.
int path_associate(_path *p, _object *o);
// Captures into every node each attribute 0..40 whose bit is clear.
void path_get_all_ignored(_path *p, _object *o);

// The path's name (at most 255 characters); null for a null path.
const char *path_get_name(_path *p);

// Lookups in the current root's path list.
_path *name_to_path(const char *name);
_path *get_path(const char *name);
_path *id_to_path(int id);
_path *id_or_name_to_path(const char *text);
// Depth first over start and its descendants, each object's path list before its children.
_path *find_path_by_guid(const char *guid, _object *start);

// The editor's display state 0..3.
void path_set_state(int s);
int path_get_state();
// The path editor: -1 when another object's editing was stopped, 1 when a path was created or
// a first node made the path the object's current one, else 0.
int path_edit(_path *p, _object *o, PATH_COMMAND c);
// The object being edited, null when none.
_object *path_get_editing_object();

// Attribute i of node n taken from o / given to o. Root attributes do nothing on other
// objects; attributes whose setters are missing do nothing.
void pathnode_capture(PathNode &n, int i, _object *o);
void pathnode_apply(const PathNode &n, int i, _object *o);
// Every attribute 0..40 captured.
void pathnode_capture_all(PathNode &n, _object *o);
// Every attribute whose bit is set on p given to o, then message 213 with o.
void path_apply_state(_path *p, const PathNode &n, _object *o);

// Curved paths: recomputes the control points when the path is not valid. Paths with fewer
// than two distinct positions get control points that all sit on their one position.
void path_update_spline(_path *p);
// The point of segment `segment` (from that node to the next) at t in [0, 1]; straight
// paths interpolate linearly. False when the segment does not exist.
bool path_curve_point(_path *p, int segment, float t, QEL_VECT3 &out);

// Re-expresses every node of the path from the coordinates of a parent whose world frame is
// `parent` into world coordinates, and back; both clear the path's cached state.
void path_to_world(_path *p, const QEL_FRAME &parent);
void path_from_world(_path *p, const QEL_FRAME &parent);
// Deletes every path of o (the object is going away) and stops editing it.
void path_forget_object(_object *o);

// Builds a path for obj from a total displacement, Euler turn (degrees), transparencies and
// colours, in equal steps (a step per 72 degrees of the largest turn beyond 90). Null when no
// path could be made or the angles are not finite. The trailing arguments are not used.
_path *path_wizard(_object *obj, const char *name, QEL_VECT3 distance, QEL_VECT3 angles,
                   float fadefrom, float fadeto, QEL_COLOR icolor, QEL_COLOR fcolor,
                   double unused = 0.0, int unused1 = 0, int unused2 = 0, int unused3 = 0);
