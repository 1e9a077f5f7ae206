// Sensors: input devices turned into motion of the selected objects or of the viewpoint.
//
// The host writes the current input of a device into a sensor's `input` record (nothing here
// talks to a window system); once per tick `actions` lets every sensor's callback turn the
// input into a translation and a rotation and applies them to the sensor's objects through the
// placement layer, within the object-move constraints. The sensor mode chosen with
// VE_set_sensor decides what a pointer drag does.
//
// Pointer buttons, for button i (1 left, 2 right): bit 3i is set while the button is held,
// bit 3i + 1 marks a release and bit 3i + 2 a press. The pointer callback consumes the edges.
#pragma once

#include <kivctrl/objlist.h>
#include <kivctrl/qel_math.h>

#include <cstdint>

class _object;

enum SENSOR_TYPE : int {
    SENSOR_POINTER = 11,
    SENSOR_INERT = 14,
    SENSOR_SIXAXIS = 15,
    SENSOR_RELATIVE = 16,
};

// Bit set: USAGE_VIEW moves the active viewpoint (its speed follows the scene size),
// USAGE_SELECTION moves the selected objects.
enum SENSOR_USAGE : int {
    USAGE_VIEW = 2,
    USAGE_SELECTION = 4,
};

enum SENSOR_MODE : int {
    SENSE_OBJ_LOCAL = 0,    // drags move the selection along each object's own axes
    SENSE_OBJ_PARENT = 1,   // ... along their parents' axes
    SENSE_OBJ_PARENT2 = 2,  // as 1, with the parent-axes triad
    SENSE_OBJ_VIEW = 3,     // ... along the viewpoint's axes
    SENSE_PICK = 4,         // drags do nothing
    SENSE_TEXTURE = 5,      // drags move, scale and turn the selection's textures
    SENSE_FLY = 6,          // the viewpoint flies, faster the further the pointer is off centre
    SENSE_EXAMINE = 7,      // drags pan the viewpoint or turn it about the selection or model
};

constexpr int SENSOR_LEFT_HELD = 0x8;
constexpr int SENSOR_LEFT_UP = 0x10;
constexpr int SENSOR_LEFT_DOWN = 0x20;
constexpr int SENSOR_RIGHT_HELD = 0x40;
constexpr int SENSOR_RIGHT_UP = 0x80;
constexpr int SENSOR_RIGHT_DOWN = 0x100;
constexpr int SENSOR_EDGES = 0x1b0;

// One device's input. For the pointer x, y are window pixels; a six-axis device runs every
// axis over +-32767; the relative pointer uses x, y and the three flags.
struct SENSOR_STATE {
    int x, y, z, rx, ry, rz;
    int buttons;
    std::int16_t flag_a, flag_c, flag_b;
};

struct _sensor {
    int id;
    SENSOR_TYPE type;
    int param;
    int usage;            // SENSOR_USAGE bits
    SENSOR_STATE state;   // the input as last processed
    SENSOR_STATE input;   // the input as last written by the host
    OBJLIST objects;      // the objects this sensor moves (not owned)
    QEL_VECT3 motion;     // this tick's translation
    QEL_QUAT turn;        // this tick's rotation
    float speed;
    float turn_speed;
    void (*callback)(_sensor *);
};

// A sensor with cleared input, no objects, no motion, speeds 1 and no callback, appended to
// the list, which owns it.
_sensor *dv_add_sensor(int id, SENSOR_TYPE type, int param, SENSOR_USAGE usage);
_sensor *dv_first_sensor();
_sensor *dv_next_sensor(_sensor *s);   // null at the end or for a sensor not listed
void dv_delete_sensor(_sensor *s);     // ignores sensors not listed
void *dv_sensor_get_dsd(_sensor *s);   // the `state` record; null for a null sensor
// The default sensors: a pointer (id 1, view and selection) and a relative pointer (id 1,
// view); then modes 0 and 7.
void setup_sensors();
// Every view sensor: speed twice the current root's group radius, turn speed 2.
void update_sensor_speed();

// The current mode; 0-3 also become the object mode (and set the triad), 6 and 7 the
// environment mode. Other values are ignored.
void env_set_sensor(SENSOR_MODE m);
// env_set_sensor, then installs every sensor's callback for the mode. Returns 0.
int VE_set_sensor(SENSOR_MODE m);
SENSOR_MODE env_get_sensor();
SENSOR_MODE env_get_objmove();   // 0 at start
SENSOR_MODE env_get_envmove();   // 7 once setup_sensors ran

// Dominance of viewpoint drags: only the axis the drag starts along moves (0 at start). The
// dominance of object drags is obj_set_dominant.
void env_set_dominant(int d);
int env_get_dominant();
// Objects whose selection stops drags: 2 root, 4 groups, 0x10 lights, 0x20 viewpoints,
// 0x40 faces, 0x80 parts on no layer (0 at start).
void env_set_mouse_mask(int mask);
int env_get_mouse_mask();
bool env_mouse_mask();
// While on, a drag hands its would-be translation to the host (message 1705) and moves
// nothing (0 at start).
void env_set_mouse_drag_only(int on);
int env_get_mouse_drag_only();
// 1, 2, 4 add highlight, triad, name label to what selection shows; 8, 16, 32 remove them.
// Every selected object shows the change at once. 1 at start.
void env_set_select_display(int v);
int env_get_select_display();

// One tick: tasks without owner, the sensors' callbacks, the moves they cause, tasks with an
// owner, then lights and viewpoint into the graphics system.
void actions();
