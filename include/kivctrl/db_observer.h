// Observers of the life of scene objects. The layers above the database (tasks, animation,
// the environment) each register one at module start and hear every change to an object at
// a fixed point of the database's own steps, in ascending rank. This is the only way the
// database reaches them; the message bus carries the same news to everyone else.
#pragma once

class _object;

// The order in which observers hear each event: behaviours let go of an object first, then
// animation, then its graphics binding.
enum DB_OBSERVER_RANK : int {
    DB_RANK_TASKS = 100,
    DB_RANK_ANIMATION = 200,
    DB_RANK_ENVIRONMENT = 300,
};

// The points of a deletion at which observers hear of it.
enum DB_DELETE_STAGE : int {
    // The root of an assembly being deleted, after deselection and before its tree goes.
    DB_DELETE_ASSEMBLY = 0,
    // Announced (212); the object still hangs in its tree with its children.
    DB_DELETE_START = 1,
    // The object has left its parent and handed its children on.
    DB_DELETE_DETACHED = 2,
    // Its owned data is freed and it is off every selection list and layer; freed next.
    DB_DELETE_LAST = 3,
};

class DbObserver {
public:
    DbObserver() = default;
    DbObserver(const DbObserver &) = delete;
    DbObserver &operator=(const DbObserver &) = delete;
    virtual ~DbObserver() = default;

    // o has joined its tree and got its guid. A face made for a graphics face that already
    // exists (db_create_face_obj) is not announced here: its maker binds it.
    virtual void created(_object *) {}
    virtual void deleting(_object *, DB_DELETE_STAGE) {}
    // Re-parenting: before o leaves its parent (o->parent is still the old one), and after it
    // joined the new one.
    virtual void unlinking(_object *) {}
    virtual void linked(_object *) {}
    // A shape replaces o's geometry: before its parameters are stored, and after; the second
    // answers the load's result (0 when it loaded).
    virtual void geometry_changing(_object *) {}
    virtual int geometry_changed(_object *) { return 0; }
    // o->active has just been set; nonzero when its geometry failed to load.
    virtual int activated(_object *) { return 0; }
    // A subtree is being activated or deactivated as a whole (begin true), and is done.
    virtual void bulk_activation(bool) {}
    // o's name has changed.
    virtual void renamed(_object *) {}
    // The database stored o's colour itself (a new assembly's root gets none).
    virtual void recolored(_object *) {}
};

// Observers stay registered until removed; registering one again changes nothing.
void db_add_observer(DbObserver *observer, int rank);
void db_remove_observer(DbObserver *observer);
