// The document structure: the token loop shared by the top level and every container, and
// the opening and closing of containers. Containers are kept on an explicit stack, so a file
// of any nesting is read without recursion.
#include "assembly/asf_reading.h"

#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/ve_bind.h>

#include <strings.h>

#include <string>

namespace kiv::asf {

namespace {

constexpr const char *kUnbalanced = "Unbalanced parentheses in assembly file.";

void report_depth(Reading &r)
{
    if (r.depth_reported)
        return;
    r.depth_reported = true;
    const std::string depth = std::to_string(kMaxDepth);
    esd_send("Records nested deeper than %1 levels were skipped.", depth.c_str());
}

// A record word: its reader, or the skipping of an unknown record's body.
void dispatch(Reading &r, const Token &t)
{
    RecordReader reader = t.too_long ? nullptr : find_record(t.word);
    if (t.kind == TokenKind::Record) {
        if (reader)
            reader(r);
        else
            r.in.skip_body();
        return;
    }
    // A word followed by ')': the ')' went with it. A keyword's reader still runs and reads
    // the text that follows as its body; that text ends at the end of the input at worst.
    // A record skipped whole had its body already, empty.
    if (reader == skip_record)
        return;
    if (reader)
        reader(r);
    else
        esd_send("Unknown token found.");
}

} // namespace

int Reading::level() const
{
    return current && current->type == OBJ_FACE ? 200 : 100;
}

void Reading::open_object(OBJECT_TYPE t, CloseKind kind, ASSY_STATE state)
{
    _object *parent_obj = closed && current ? current->parent : current;
    if (!parent_obj) {
        in.skip_body();
        return;
    }
    if (open.size() >= kMaxDepth) {
        report_depth(*this);
        in.skip_body();
        return;
    }
    _object *o = t == OBJ_LIGHT ? light_add(parent_obj, nullptr, LIGHT_DIRECTED)
                                : db_create_obj(parent_obj, t);
    if (!o) {
        in.skip_body();
        return;
    }
    open.push_back({kind, o, assy_get_state(), current, closed, path});
    assy_set_state(state);
    current = o;
    closed = false;
    // A FILEINFO left without its SOURCEINFO belongs to the object it was read for only.
    geometry = nullptr;
}

void Reading::open_plain()
{
    open_records(CloseKind::Plain);
}

bool Reading::open_records(CloseKind kind)
{
    if (open.size() >= kMaxDepth) {
        report_depth(*this);
        in.skip_body();
        return false;
    }
    open.push_back({kind, nullptr, assy_get_state(), current, closed, path});
    return true;
}

void Reading::close_innermost()
{
    const OpenContainer c = open.back();
    open.pop_back();
    assy_set_state(c.saved_state);
    switch (c.kind) {
    case CloseKind::Plain:
        return;
    case CloseKind::Group:
        obj_set_unique(c.object, 1);
        [[fallthrough]];
    case CloseKind::Object:
        current = c.object;
        closed = true;
        break;
    case CloseKind::DropObject:
        forget_paths_of(c.object);
        obj_set_type(c.object, OBJ_GROUP);
        db_delete_obj(c.object);
        current = c.saved_current;
        closed = c.saved_closed;
        break;
    case CloseKind::PathDef:
        path = c.saved_path;
        return;
    case CloseKind::Wizard:
        if (path)
            delete static_cast<PathWizInfo *>(path->vars.add("_PATH_WIZ", wizards.back().release()));
        wizards.pop_back();
        return;
    case CloseKind::Bookmark:
        obj_add_bookmark(current, bookmarks.back().release());
        bookmarks.pop_back();
        return;
    }
    geometry = nullptr;
}

// Deleting an object deletes the paths it follows, so paths the reading still refers to are
// forgotten first when they belong to o or an object below it.
void Reading::forget_paths_of(_object *o)
{
    auto below_o = [o](_path *p) {
        for (_object *x = p ? p->get_associated_object() : nullptr; x; x = x->parent) {
            if (x == o)
                return true;
        }
        return false;
    };
    if (below_o(path))
        path = nullptr;
    for (OpenContainer &c : open) {
        if (below_o(c.saved_path))
            c.saved_path = nullptr;
    }
}

bool next_record_is(Reading &r, std::initializer_list<const char *> keywords)
{
    if (!r.have_token) {
        r.token = r.in.next();
        r.have_token = true;
    }
    if (r.token.kind != TokenKind::Record || r.token.too_long)
        return false;
    for (const char *k : keywords) {
        if (strcasecmp(r.token.word.c_str(), k) == 0) {
            r.have_token = false;
            return true;
        }
    }
    return false;
}

void abandon_body(Reading &r)
{
    if (r.have_token) {
        r.have_token = false;
        switch (r.token.kind) {
        case TokenKind::Close:
        case TokenKind::WordClose:
        case TokenKind::End:
            return;  // the body's close came with the token
        case TokenKind::Record:
        case TokenKind::Open:
            r.in.skip_body();  // the token opened a body of its own
            break;
        case TokenKind::Word:
            break;
        }
    }
    r.in.skip_body();
}

std::string Reading::joined(std::string_view name) const
{
    if (name.empty())
        return {};
    const std::string n(name);
    char out[QEL_PATH_MAX] = "";
    pathname_join(out, n.c_str(), directory.c_str(), nullptr);
    return out;
}

void read_document(Reading &r)
{
    for (;;) {
        Token t;
        if (r.have_token) {
            t = std::move(r.token);
            r.have_token = false;
        } else {
            t = r.in.next();
        }
        switch (t.kind) {
        case TokenKind::Record:
        case TokenKind::WordClose:
            dispatch(r, t);
            break;
        case TokenKind::Word:
            esd_send("Unknown token found.");
            break;
        case TokenKind::Open:
            esd_send("Unexpected open parenthesis encountered.");
            break;
        case TokenKind::Close:
            if (r.open.empty()) {
                // The end of the assembly. Text after it is not read; say so, since a stray
                // ')' inside the file ends the read early in just this way.
                if (!r.in.only_blank_left())
                    esd_send("Text after the end of the assembly was ignored.");
                return;
            }
            r.close_innermost();
            break;
        case TokenKind::End:
            while (!r.open.empty()) {
                esd_send(kUnbalanced);
                r.close_innermost();
            }
            esd_send(kUnbalanced);
            return;
        }
    }
}

} // namespace kiv::asf
