// The process-wide message bus: every registered handler sees every message (a 16-bit code,
// one pointer and one pointer-sized integer) and picks the codes it wants. Also the table of
// message codes and the error-report calls through which user-visible errors leave the engine.
#pragma once

#include <cstdint>

// Handlers derive from MsgHandlerImp. The virtual operations keep this slot order:
// destructor, name, extname, priority, version, handle.
class MsgHandler {
public:
    virtual ~MsgHandler() = default;
    virtual const char *name() = 0;
    virtual const char *extname() = 0;
    // Lower priorities are called first; equal priorities in registration order.
    virtual int priority() = 0;
    virtual const char *version() = 0;
    // Called for every message; the result is ignored. n carries an address for some codes,
    // hence pointer-sized.
    virtual int handle(short code, void *data, std::intptr_t n) = 0;
};

class MsgHandlerImp : public MsgHandler {
public:
    // Does not unregister: concrete handlers unregister in their own destructors.
    ~MsgHandlerImp() override = default;
    const char *extname() override { return name(); }
    int priority() override { return 0; }
    // The engine's build date, e.g. "Dec 10 2026".
    const char *version() override;
};

// Sends message 10 with h to the handlers already registered, then inserts h by priority.
// Returns h's 1-based position; 0 for a null h.
int msg_handler_register(MsgHandler *h);
// Removes the first occurrence of h, then sends message 11 with h. Returns 0.
int msg_handler_unregister(MsgHandler *h);
// Calls handle() on every registered handler in list order, fetching handler i by position
// before each call, so that a handler may send (nested), register or unregister handlers
// while being called: a handler registered behind the current one is reached by this
// dispatch; unregistering shifts the later ones down, so the one right after a removed handler
// is skipped. Always returns 0.
int msg_send(short code, void *data, std::intptr_t n);

// Payload of message 5: seven pointer-sized words.
//   word 0     format text, "%1" and "%2" standing for the first and second argument
//   word 1     reserved, always 0
//   words 2-6  argument texts: first, second, then null
// The message's integer argument is the number of arguments used (0, 1 or 2).
struct ESD_MESSAGE {
    const char *format;
    std::intptr_t reserved;
    const char *args[5];
};

// Report an error to the user: message 5 with the record above. Returns 0.
int esd_send(const char *format);
int esd_send(const char *format, const char *a1);
int esd_send(const char *format, const char *a1, const char *a2);
// A debug report: message 2 with no payload; the text is not passed on. It is written to
// standard error when the environment variable KIV_DEBUG is set.
int esd_debug_send(const char *text);

// Message codes. "payload" is the pointer argument, n the integer argument (0 unless stated).
enum MSG_CODE : short {
    MSG_DEBUG = 2,                  // esd_debug_send
    MSG_ERROR = 5,                  // ESD_MESSAGE *; n = number of arguments
    MSG_HANDLER_REGISTERING = 10,   // MsgHandler * being registered
    MSG_HANDLER_UNREGISTERED = 11,  // MsgHandler * that was unregistered
    MSG_DROP_CACHED_LOOKUPS = 15,   // lookup caches must be emptied

    // Objects; payload _object *.
    MSG_OBJ_CREATED = 201,
    MSG_OBJ_FREEING = 202,          // last message of a deletion
    MSG_OBJ_LINKED = 203,           // attached under a new parent
    MSG_OBJ_UNLINKING = 204,        // about to be detached from its parent
    MSG_OBJ_ACTIVATED = 205,
    MSG_OBJ_DEACTIVATED = 206,
    MSG_OBJ_POSITION = 207,
    MSG_OBJ_ORIENTATION = 208,
    MSG_OBJ_SHOWN = 209,
    MSG_OBJ_HIDDEN = 210,
    MSG_OBJ_GEOMETRY_RELOAD = 211,  // invalid geometry about to be released and read again
    MSG_OBJ_DELETING = 212,         // first message of a deletion
    MSG_OBJ_PATHNODE_APPLIED = 213,
    MSG_OBJ_RENAMED = 214,
    MSG_OBJ_PATHS_CHANGED = 215,
    MSG_OBJ_GSNODE_REPLACED = 216,

    // Selection; n = selection list number where an object is named.
    MSG_SEL_ADDED = 401,            // _object *
    MSG_SEL_REMOVED = 402,          // _object *
    MSG_SEL_CHANGED = 403,          // no payload; n = number of selected objects
    MSG_SEL_SELECTED = 404,         // _object *, display applied
    MSG_SEL_DESELECTED = 405,       // _object *, display removed
    MSG_PATH_ASSOCIATED = 406,      // _path *
    MSG_PATH_DISSOCIATED = 407,     // _path *
    MSG_TRACK_SELECTED = 408,       // _path *
    MSG_TRACK_DESELECTED = 409,     // _path *
    MSG_SEL_APPLY_DISPLAY = 410,    // _object *
    MSG_SEL_REMOVE_DISPLAY = 411,   // _object *

    // Playback.
    MSG_PLAY_STARTED = 501,
    MSG_PLAY_STOPPED = 502,
    MSG_PLAY_VIEWPOINT = 503,       // _object * of the viewpoint made current

    MSG_OBJ_EXPAND = 601,           // _object *; n = new value

    // Texture placement; payload _object *.
    MSG_TEX_POSITION = 701,
    MSG_TEX_ORIENTATION = 702,
    MSG_TEX_SCALE = 703,
    MSG_TEX_GRID_POSITION = 704,
    MSG_TEX_GRID_ORIENTATION = 705,
    MSG_TEX_GRID_SCALE = 706,

    // Locate requests; payload QEL_LOCATE_REQUEST * (qel_locate.h).
    MSG_LOCATE_PART = 801,
    MSG_LOCATE_ASSEMBLY = 802,
    MSG_LOCATE_TEXTURE = 804,
    MSG_LOCATE_BACKDROP = 805,
    MSG_LOCATE_NOTE = 806,

    MSG_FRAME_CHANGED = 1001,       // n = frame number

    // Collision; payload _object *.
    MSG_COLLIDE_TEST_BEGIN = 1101,  // the mover
    MSG_COLLIDE_TEST_END = 1102,    // the mover
    MSG_COLLIDE_BEGIN = 1103,       // the object hit
    MSG_COLLIDE_CONTINUE = 1104,
    MSG_COLLIDE_END = 1105,

    // Animation list and paths.
    MSG_TRACK_HILITE = 1201,        // the track; n = 1 on, 0 off
    MSG_ANIM_CREATED = 1202,        // _anim_struct *
    MSG_ANIM_CLEARED = 1203,        // _anim_struct *
    MSG_ANIMOBJ_CREATED = 1204,     // _animobj_struct *
    MSG_ANIMOBJ_DESTROYED = 1205,   // _animobj_struct *
    MSG_ANIMPATH_CREATED = 1206,    // the entry
    MSG_ANIMPATH_DESTROYED = 1207,  // the entry
    MSG_PATH_DESTROYING = 1209,     // _path *
    MSG_PATH_EDIT_DELETED = 1210,
    MSG_PATH_RENAMED = 1211,        // _path *
    MSG_ANIM_PATH_ADDED = 1214,     // the new entry
    MSG_ANIM_PATH_REMOVED = 1215,   // the released entry (identity only); n = _object *
    MSG_PATH_EDIT_ENDED = 1217,     // _path *

    // Database.
    MSG_OBJ_CREATE_FAILED = 1401,
    MSG_ASSEMBLY_DELETING = 1402,   // KivAssembly *
    MSG_ASSEMBLY_CREATED = 1403,    // KivAssembly *

    MSG_VIEWPOINT_CREATED = 1501,   // _object * of the viewpoint
    MSG_HEADLIGHT_CREATED = 1502,   // _object * of the light
    MSG_DEFAULT_GROUP_CREATED = 1503,  // _object * of its parent
    MSG_OBJ_ACTIVE_APPLIED = 1601,  // _object *

    // Pointer input.
    MSG_BUTTON_UP = 1701,           // n = 1 left, 2 right
    MSG_BUTTON_DOWN = 1702,         // n = 1 left, 2 right
    MSG_DRAG_BEGIN = 1703,
    MSG_DRAG_END = 1704,
    MSG_DRAG_ONLY = 1705,           // _object * or null; n = address of three floats

    // Registries; n = position in the registry.
    MSG_IMAGE_READER_REGISTERED = 1801,
    MSG_IMAGE_READER_UNREGISTERED = 1802,
    MSG_LOADER_REGISTERED = 1807,
    MSG_LOADER_UNREGISTERED = 1808,
    MSG_SAVER_REGISTERED = 1809,
    MSG_SAVER_UNREGISTERED = 1810,
    MSG_TASK_REGISTERED = 1811,
    MSG_TASK_UNREGISTERED = 1812,
    MSG_STILL_WRITER_REGISTERED = 1813,
    MSG_STILL_WRITER_UNREGISTERED = 1814,
    MSG_MOVIE_WRITER_REGISTERED = 1815,
    MSG_MOVIE_WRITER_UNREGISTERED = 1816,

    MSG_INSTANCE_CACHE_SUSPEND = 2100,
    MSG_INSTANCE_CACHE_RESUME = 2101,

    MSG_SHUTDOWN = 2300,
    MSG_LOAD_STARTED = 2301,
    MSG_LOAD_FINISHED = 2302,

    // Task scheduler.
    MSG_TASKS_OBJECT_PASS_BEGIN = 2500,
    MSG_TASKS_OBJECT_PASS_END = 2501,
    MSG_TASKS_FREE_PASS_BEGIN = 2502,
    MSG_TASKS_FREE_PASS_END = 2503,
    MSG_TASK_BEGIN = 2504,          // the task
    MSG_TASK_END = 2505,            // the task

    MSG_FRAMES_INSERTED = 2605,     // OBJLIST * of the objects affected; n = 1
    MSG_FRAMES_INSERTING = 2606,
};
