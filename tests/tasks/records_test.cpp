// BEHAVIOR records: writing and reading back, and reading broken input.
#include "tasks/task_fixture.h"

#include "support/scratch.h"

#include <kivctrl/qel_memfile.h>
#include <kivctrl/qel_stream.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct ReadOutcome {
    int status;
    int next;  // the character left for the caller, -1 at the end
};

ReadOutcome read_records(QelFileReader &r)
{
    const int status = task_read_tasks(&r);
    return {status, r.readch()};
}

// Reads text from a memory file.
ReadOutcome read_text(const std::string &text)
{
    const char *name = "MEM:behavior-records";
    {
        QelMemFileWriter w(name);
        w.writeb(text.data(), text.size());
    }
    ReadOutcome out;
    {
        QelMemFileReader r(name);
        out = read_records(r);
    }
    QelMemFileRemover(name).remove();
    return out;
}

std::string written_records()
{
    const char *name = "MEM:behavior-written";
    {
        QelMemFileWriter w(name);
        EXPECT_EQ(task_write_tasks(&w), 0);
    }
    std::string text;
    {
        QelMemFileReader r(name);
        for (int c = r.readch(); c >= 0; c = r.readch())
            text += static_cast<char>(c);
    }
    QelMemFileRemover(name).remove();
    return text;
}

class RecordTest : public TaskTest {
protected:
    void SetUp() override
    {
        TaskTest::SetUp();
        bolt = make(root, OBJ_OBJECT, "bolt");
        nut = make(root, OBJ_OBJECT, "nut");
        obj_set_id(bolt, 11);
        obj_set_id(nut, 12);
    }

    ProbeTask *stored(_object *owner, int priority, const char *tag, int number, const char *text)
    {
        auto *t = static_cast<ProbeTask *>(task_add(owner, priority, "probe", tag));
        t->number = number;
        t->text = text;
        return t;
    }

    void drop_all_tasks()
    {
        for (_object *o : {root, bolt, nut})
            while (_task *t = o->tasklist.get(1))
                task_delete(o, t);
    }

    _object *bolt = nullptr;
    _object *nut = nullptr;
};

} // namespace

TEST_F(RecordTest, WrittenRecordsReadBackToTheSameTasks)
{
    stored(bolt, 300, "first", 42, "two words, (parens) and \"quotes\"");
    stored(nut, 300, "second", -7, "");
    stored(bolt, 5000, "high", 0, "x");
    stored(root, 50, "on the root", 9, "id 0 reads as no object: written by name");
    add(bolt, "internal", "never written");            // flags 4
    task_add(nullptr, 10, "probe", "no owner: unreadable");

    const std::string text = written_records();
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "    BEHAVIOR (probe, 5000, 11, high, 0, x)\n");
    EXPECT_EQ(text.find("never"), std::string::npos);
    EXPECT_EQ(text.find("unreadable"), std::string::npos);

    drop_all_tasks();
    const ReadOutcome out = read_text(text + "  )");
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.next, ')');

    ASSERT_EQ(bolt->tasklist.count(), 2);
    ASSERT_EQ(nut->tasklist.count(), 1);
    ASSERT_EQ(root->tasklist.count(), 1);
    EXPECT_EQ(static_cast<ProbeTask *>(root->tasklist.get(1))->number, 9);
    EXPECT_EQ(static_cast<ProbeTask *>(bolt->tasklist.get(1))->tag, "high");
    auto *first = static_cast<ProbeTask *>(bolt->tasklist.get(2));
    EXPECT_EQ(first->tag, "first");
    EXPECT_EQ(first->priority(), 300);
    EXPECT_EQ(first->number, 42);
    EXPECT_EQ(first->text, "two words, (parens) and \"quotes\"");
    auto *second = static_cast<ProbeTask *>(nut->tasklist.get(1));
    EXPECT_EQ(second->number, -7);
    EXPECT_EQ(second->text, "");
    EXPECT_EQ(written_records(), text);
}

TEST_F(RecordTest, RecordsTravelThroughARealFile)
{
    stored(nut, 1200, "on nut", 3, "a\ttab and ^caret");
    kivtest::ScratchDir dir("task_records");
    const std::string path = dir.file("tasks.txt");
    {
        std::unique_ptr<QelFileWriter> w(QelCreateWriterInstance(path.c_str(), 0));
        ASSERT_EQ(w->error(), 0);
        task_write_tasks(w.get());
        w->write("<end>");
    }
    drop_all_tasks();
    std::unique_ptr<QelFileReader> r(QelCreateReaderInstance(path.c_str(), 0));
    const ReadOutcome out = read_records(*r);
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.next, '<');
    ASSERT_EQ(nut->tasklist.count(), 1);
    auto *t = static_cast<ProbeTask *>(nut->tasklist.get(1));
    EXPECT_EQ(t->tag, "on nut");
    EXPECT_EQ(t->text, "a\ttab and ^caret");
    EXPECT_EQ(t->priority(), 1200);
}

TEST_F(RecordTest, BrokenInputStopsAtTheFirstBadRecordAndKeepsTheOnesBefore)
{
    const std::string good = "BEHAVIOR (probe, 7, bolt, a, 1, t)\n";
    const std::string quoted = "behavior (\"probe\", -3, \"nut\", \"the tag\", 2, \"end)\")";
    struct Case {
        std::string text;
        int status;
        int tasks;  // on bolt and nut together
    };
    std::vector<Case> cases = {
        {"", 1, 0},
        {")", 0, 0},
        {"  <TAG>", 0, 0},
        {"; a comment\n; another\n)", 0, 0},
        {"; a comment at the very end", 1, 0},
        {good + ")", 0, 1},
        {good + quoted + "\n)", 0, 2},
        {good + "BEHAVIOR (probe, 7, nobody, a, 1, t)\n" + good + ")", 1, 1},
        {good + "BEHAVIOR (nosuch, 7, bolt, a, 1, t)" + good + ")", 1, 1},
        {good + "PATH (probe, 7, bolt, a, 1, t))", 1, 1},
        {good + "BEHAVIOR (probe, x7, bolt, a, 1, t))", 1, 1},
        {good + "BEHAVIOR (probe, 99999999999, bolt, a, 1, t))", 1, 1},
        {good + "BEHAVIOR (probe, 7, bolt, a, 1, t, extra))", 1, 1},
        {good + "BEHAVIOR (probe, 7, bolt, a))", 1, 1},
        {good + "BEHAVIOR (, 7, bolt, a, 1, t))", 1, 1},
        {good + "BEHAVIOR (probe 7 bolt))", 1, 1},
        {good + "BEHAVIOR (internal, 7, bolt, a, 1, t))", 1, 1},
        {good + "BEHAVIOR (internal, 7, bolt,))", 0, 2},
        {good + "BEHAVIOR (" + std::string(300, 'p') + ", 7, bolt, a, 1, t))", 1, 1},
        {good + "BEHAVIOR (probe, 7, \"" + std::string(300, 'b') + "\", a, 1, t))", 1, 1},
        {good + std::string(300, 'B') + ")", 1, 1},
        {good + "\x01\x02\xff(", 1, 1},
        {good + good, 1, 2},  // both records read, but the section never ends
    };
    // Every cut of a record, inside its quoted names included, is an error after the good one.
    for (std::size_t n = 1; n < quoted.size(); ++n)
        cases.push_back({good + quoted.substr(0, n), 1, 1});

    for (const Case &c : cases) {
        const ReadOutcome out = read_text(c.text);
        EXPECT_EQ(out.status, c.status) << c.text;
        EXPECT_EQ(bolt->tasklist.count() + nut->tasklist.count(), c.tasks) << c.text;
        drop_all_tasks();
    }
}
