// Life-cycle observers: rank order, the stages of a deletion, and re-parenting.
#include "db_fixture.h"

#include <kivctrl/db_observer.h>

#include <string>

namespace {

struct Heard {
    std::string tag;
    _object *o;
    bool operator==(const Heard &) const = default;
};

// Records what it hears, tagged with its own name; the deletion stages also note whether
// the object still has its graphics node.
class Recorder final : public DbObserver {
public:
    Recorder(std::string name, int rank, std::vector<Heard> &log)
        : name_(std::move(name)), log_(log)
    {
        db_add_observer(this, rank);
    }
    ~Recorder() override { db_remove_observer(this); }

    void created(_object *o) override { note("created", o); }
    void deleting(_object *o, DB_DELETE_STAGE s) override
    {
        static const char *const stages[] = {"assembly", "start", "detached", "last"};
        note(std::string(stages[s]) + (o->gsobject ? "+node" : ""), o);
    }
    void unlinking(_object *o) override { note("unlinking", o->parent); }
    void linked(_object *o) override { note("linked", o->parent); }

private:
    void note(const std::string &what, _object *o) { log_.push_back({name_ + " " + what, o}); }

    std::string name_;
    std::vector<Heard> &log_;
};

TEST_F(DbTest, ObserversHearEachEventInRankOrderOnceWhateverTheOrderTheyCameIn)
{
    std::vector<Heard> log;
    {
        Recorder late("late", DB_RANK_ENVIRONMENT + 1, log);
        Recorder early("early", DB_RANK_TASKS - 1, log);
        db_add_observer(&early, DB_RANK_ENVIRONMENT + 2);  // already there: stays early
        _object *g = db_create_obj(root, OBJ_GROUP);
        EXPECT_EQ(log, (std::vector<Heard>{{"early created", g}, {"late created", g}}));
    }
    log.clear();
    db_create_obj(root, OBJ_GROUP);
    EXPECT_TRUE(log.empty());
}

TEST_F(DbTest, ADeletionIsHeardAtItsStagesAndTheGraphicsNodeGoesAtTheDetachedOne)
{
    std::vector<Heard> log;
    Recorder r("r", DB_RANK_TASKS + 1, log);
    _object *g = make(root, OBJ_GROUP, "g");
    ASSERT_NE(g->gsobject, nullptr);
    log.clear();

    ASSERT_EQ(db_delete_obj(g), 0);
    // The environment ranks after r: at "detached" r still sees the node, at "last" it is gone.
    EXPECT_EQ(log, (std::vector<Heard>{
                       {"r start+node", g}, {"r detached+node", g}, {"r last", g}}));

    log.clear();
    db_delete_assembly(assy);
    assy = nullptr;
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), (Heard{"r assembly+node", root}));
    EXPECT_EQ(log.back(), (Heard{"r last", root}));
}

TEST_F(DbTest, ReparentingIsHeardFromTheOldParentAndThenFromTheNewOne)
{
    _object *a = make(root, OBJ_GROUP, "a");
    _object *b = make(root, OBJ_GROUP, "b");
    _object *c = make(a, OBJ_OBJECT, "c");
    std::vector<Heard> log;
    Recorder r("r", DB_RANK_ANIMATION, log);

    ASSERT_EQ(db_link(b, c), 0);
    EXPECT_EQ(log, (std::vector<Heard>{{"r unlinking", a}, {"r linked", b}}));
}

}  // namespace
