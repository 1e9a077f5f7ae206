// BEHAVIOR records: the tasks stored in an assembly file's TASKLIST section.
//
//     BEHAVIOR (name, priority, owner id, parameters of the kind...)
//
// Reading never trusts the input: every token has a bounded size, every step either consumes
// input or ends the loop, and a record is only kept once its closing ")" has been seen.
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_stream.h>
#include <kivctrl/qel_token_stream.h>
#include <kivctrl/task.h>

#include "database/db_state.h"
#include "database/object_index.h"
#include "tasks/schedule.h"

#include <strings.h>

#include <charconv>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int TOKEN_SIZE = 256;

// One token ended by one of delims; false when it is empty or too long for the buffer.
bool read_token(QelFileReader *r, const char *delims, char (&out)[TOKEN_SIZE])
{
    const int needed = qel_readstring(r, delims, out, TOKEN_SIZE);
    return needed > 1 && needed <= TOKEN_SIZE && out[0] != '\0';
}

bool expect(QelFileReader *r, char delim)
{
    const char delims[] = {delim, '\0'};
    return qel_readdelim(r, delims, nullptr) == 1;
}

bool parse_int(const char *text, int &value)
{
    const char *end = text + std::strlen(text);
    if (*text == '+')
        ++text;
    auto [p, ec] = std::from_chars(text, end, value);
    return ec == std::errc() && p == end && p != text;
}

// Steps over the parameters of a record whose task is gone, up to its closing ")".
bool skip_params(QelFileReader *r)
{
    char token[TOKEN_SIZE];
    for (;;) {
        qel_readstring(r, "(,)", token, TOKEN_SIZE);
        char *which = nullptr;
        if (qel_readdelim(r, ",)", &which) != 1)
            return false;
        if (*which == ')')
            return true;
    }
}

void skip_line(QelFileReader *r)
{
    for (int c = r->readch(); c >= 0 && c != '\n'; c = r->readch()) {
    }
}

// The rest of a record after "BEHAVIOR": false when it is malformed or names an unknown kind
// or owner; a task created for a rejected record is deleted again.
bool read_record(QelFileReader *r, std::optional<kiv::db::ObjectIndex> &owners)
{
    char name[TOKEN_SIZE];
    char number[TOKEN_SIZE];
    char owner_text[TOKEN_SIZE];
    int priority = 0;
    if (!expect(r, '(') || !read_token(r, "(,)", name) || !expect(r, ',') ||
        !read_token(r, "(,);", number) || !parse_int(number, priority) || !expect(r, ',') ||
        !read_token(r, "(,)", owner_text) || !expect(r, ','))
        return false;
    if (!owners)
        owners.emplace(kiv::db::current_root());
    _object *owner = owners->find(owner_text);
    if (!owner || !task_get_factory(name))
        return false;
    _task *t = task_add(owner, name, nullptr);
    if (!t)  // the kind removed the task at once: only the record's syntax is left to check
        return skip_params(r);
    const bool ok = (!(t->flags() & _task::FLAG_STORED) || t->read_params(r) == 0) && expect(r, ')');
    if (!task_find(owner, t))
        return ok;
    if (!ok) {
        task_delete(owner, t);
        return false;
    }
    t->priority(priority);
    return true;
}

// The owner by its id; by its name when the id would not find it again (id 0, which the
// root and objects created outside a file carry, reads as no object).
void write_owner(QelFileWriter *w, _object *owner)
{
    const int id = obj_get_id(owner);
    const char *name = obj_get_name(owner);
    if (id_or_name_to_obj(std::to_string(id).c_str()) == owner)
        w->writef("%d", id);
    else if (name && *name)
        w->writestring(name);
    else
        w->writef("%d", id);
}

} // namespace

int task_read_tasks(QelFileReader *r)
{
    if (!r)
        return 1;
    char word[TOKEN_SIZE];
    // Built at the first record: a long list looks its owners up in one walk of the tree.
    std::optional<kiv::db::ObjectIndex> owners;
    for (;;) {
        const int needed = qel_readstring(r, "(,);<", word, TOKEN_SIZE);
        if (needed > TOKEN_SIZE)
            return 1;
        if (word[0] != '\0') {
            if (strcasecmp(word, "BEHAVIOR") != 0 || !read_record(r, owners))
                return 1;
            continue;
        }
        if (!expect(r, ';'))
            break;
        skip_line(r);
    }
    char *which = nullptr;
    if (qel_readdelim(r, ")<", &which) != 1)
        return 1;
    r->unreadch(*which);
    return 0;
}

int task_write_tasks(QelFileWriter *w)
{
    if (!w)
        return 0;
    // The schedule in priority order without disturbing a pass that may be under way: the
    // waiting tasks, then the running one and those already run, each after its equals.
    TaskSchedule &s = task_schedule();
    std::vector<_task *> order;
    auto place = [&order](_task *t) {
        auto at = order.begin();
        while (at != order.end() && (*at)->prio >= t->prio)
            ++at;
        order.insert(at, t);
    };
    ILIST_ITER waiting(static_cast<ILIST *>(&s.active));
    while (waiting.next())
        order.push_back(static_cast<_task *>(waiting.getdata()));
    if (s.running)
        place(s.running);
    ILIST_ITER done(s.done);
    while (done.next())
        place(static_cast<_task *>(done.getdata()));

    for (_task *t : order) {
        // A task without owner could not be read back: its record would end the section.
        if (!(t->flags() & _task::FLAG_STORED) || !t->owner)
            continue;
        w->write("    BEHAVIOR (");
        w->writestring(t->name());
        w->writef(", %d, ", t->prio);
        write_owner(w, t->owner);
        w->write(", ");
        t->write_params(w);
        w->write(")");
        w->writeln();
    }
    return 0;
}
