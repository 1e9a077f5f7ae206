// Path records: path definitions with their key nodes, the records of the path being defined,
// the path wizard's settings, and the attaching of paths to objects.
#include "assembly/asf_reading.h"

#include <kivctrl/anim.h>
#include <kivctrl/qel_msg.h>

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace kiv::asf {

namespace {

constexpr std::size_t kPathNameMax = 1279;
constexpr std::size_t kGuidMax = 255;
constexpr std::size_t kInstructionMax = 4999;

constexpr const char *kMissingName = "missing name in PATH";
constexpr const char *kMissingNode = "missing node in PATH";

struct Definition {
    std::string name;
    int id = 0;
    std::string guid;
    bool has_instruction = false;
    bool has_note = false;
    std::string instruction, note, link;
};

// The optional records between the name and the nodes, each only in its place.
void read_definition_extras(Reading &r, Definition &d)
{
    if (next_record_is(r, {"PATH_ID"})) {
        read_int(r, d.id);
        if (next_record_is(r, {"PATH_GUID"}))
            d.guid = read_string(r, kGuidMax);
    }
    if (!next_record_is(r, {"INSTRUCTION"}))
        return;
    d.has_instruction = true;
    d.instruction = read_string(r, kInstructionMax);
    if (!next_record_is(r, {"INSTRUCTION_N"}))
        return;
    d.has_note = true;
    d.note = read_string(r, kInstructionMax);
    if (next_record_is(r, {"INSTRUCTION_L"}))
        d.link = r.joined(read_string(r, kInstructionMax));
}

void set_guid(_path *p, const std::string &guid)
{
    std::free(p->guid);
    p->guid = strdup(guid.c_str());
}

void give_extras(_path *p, const Definition &d)
{
    if (d.has_instruction) {
        auto info = std::make_unique<InstructionInfo>();
        info->setText(d.instruction.c_str());
        if (d.has_note)
            info->setNote(d.note.c_str());
        if (!d.link.empty())
            info->setLink(d.link.c_str());
        delete static_cast<InstructionInfo *>(p->vars.add("_INSTRUCTION", info.release()));
    }
    p->id = d.id;
    if (!d.guid.empty())
        set_guid(p, d.guid);
}

QEL_VECT3 scanned_triple(const std::string &text)
{
    float v[3] = {0.0f, 0.0f, 0.0f};
    scan_floats(text, v, 3);
    return {v[0], v[1], v[2]};
}

// NODES ( (x, y, z) (a, b, c) ... ): a position and Euler angles per node, up to the body's
// close. Values that do not scan stay 0; a position without its angles is dropped. Every
// node is kept: the path grows as needed.
void read_node_pairs(Reading &r, std::vector<QEL_VECT3> *positions, std::vector<QEL_QUAT> *turns)
{
    while (r.in.next_is('(')) {
        const std::string position = r.in.parenthesised();
        if (!r.in.next_is('('))
            break;
        const std::string angles = r.in.parenthesised();
        if (!positions)
            continue;
        const QEL_VECT3 a = scanned_triple(angles);
        QEL_QUAT q;
        q.from_eang(a.x, a.y, a.z);
        positions->push_back(scanned_triple(position));
        turns->push_back(q);
    }
    r.in.skip_body();
}

// A path definition: the name, the optional extras, then NODES or FRAMES, then the path's own
// records up to the close. After an error the rest of the definition is skipped, so its
// records never reach the enclosing level and its close never ends the file early.
void define_path(Reading &r)
{
    Definition d;
    if (!next_record_is(r, {"NAME", "PATH_NAME"})) {
        esd_send(kMissingName);
        abandon_body(r);
        return;
    }
    d.name = read_string(r, kPathNameMax);
    read_definition_extras(r, d);
    const bool nodes = next_record_is(r, {"NODES"});
    if (!nodes && !next_record_is(r, {"FRAMES"})) {
        esd_send(kMissingNode);
        abandon_body(r);
        return;
    }
    _path *p = nullptr;
    if (nodes) {
        std::vector<QEL_VECT3> positions;
        std::vector<QEL_QUAT> turns;
        read_node_pairs(r, &positions, &turns);
        p = path_create(d.name.c_str(), positions.data(), turns.data(),
                        static_cast<int>(positions.size()), 0.0);
        // The nodes give positions and orientations: the path animates those two.
        if (p) {
            p->set_status(PATH_ATTR_POSITION, 1);
            p->set_status(PATH_ATTR_ORIENTATION, 1);
        }
    } else {
        p = path_create(d.name.c_str(), nullptr, nullptr, 0, 0.0);
    }
    if (!p) {
        if (!nodes)
            r.in.skip_body();
        r.in.skip_body();
        return;
    }
    give_extras(p, d);
    if (!r.open_records(CloseKind::PathDef)) {
        if (!nodes)
            r.in.skip_body();
        return;
    }
    // The path is current while FRAMES is read, so that its KEYFRAME records fill it.
    r.path = p;
    if (!nodes)
        r.open_plain();
}

void attach(Reading &r, const std::string &name)
{
    if (!r.current)
        return;
    _path *p = id_or_name_to_path(name.c_str());
    if (!p) {
        esd_send("Path \"%1\" was not found.", name.c_str());
        return;
    }
    path_associate(p, r.current);
    path_get_all_ignored(p, r.current);
}

bool is_name_record(const std::string &word)
{
    return strcasecmp(word.c_str(), "NAME") == 0 || strcasecmp(word.c_str(), "PATH_NAME") == 0;
}

// PATH ( s ) inside a container: the named path is attached to the current object and takes
// the object's present state for every attribute it does not animate.
void attach_named_path(Reading &r)
{
    const std::string name = r.in.string_token(kPathNameMax);
    const Token after = r.in.next();
    switch (after.kind) {
    case TokenKind::Close:
        attach(r, name);
        return;
    case TokenKind::WordClose:  // its ')' closed the PATH
    case TokenKind::Word:
        esd_send("Unexpected token in path definition");
        if (after.kind == TokenKind::Word)
            r.in.skip_body();
        return;
    case TokenKind::Record:
    case TokenKind::Open:
        // PATH ( NAME ( s ) ): the name read by its own record attaches the path too.
        if (!is_name_record(after.kind == TokenKind::Record ? after.word : name)) {
            esd_send(kMissingName);
            r.in.skip_body();
            r.in.skip_body();
            return;
        }
        {
            const std::string named = read_string(r, kPathNameMax);
            r.in.skip_body();
            attach(r, named);
        }
        return;
    case TokenKind::End:
        return;
    }
}

} // namespace

void read_path(Reading &r)
{
    if (r.top_level())
        define_path(r);
    else
        attach_named_path(r);
}

void read_pathdef(Reading &r)
{
    if (r.top_level() || insert_component_path_info().paths)
        define_path(r);
    else
        r.skip();
}

// NODES outside a definition: the current object follows no path; the nodes are dropped.
void read_nodes(Reading &r)
{
    read_node_pairs(r, nullptr, nullptr);
    if (r.current)
        obj_set_pathptr(r.current, nullptr);
}

void read_path_vis(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.path)
        r.path->set_visibility(v);
}

void read_path_dir(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.path)
        r.path->direction = v;
}

void read_path_type(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.path) {
        r.path->path_type = v;
        r.path->valid = 0;
    }
}

// PATH_STEPS ( i, f, g ): the frames per step are the second value. A count that is not
// above 0 would divide by zero on the time line, so it leaves the old one.
void read_path_steps(Reading &r)
{
    float v[3];
    const int n = scan_floats(r.in.value(), v, 3);
    if (n < 2 || !r.path)
        return;
    if (v[1] <= 0.0f) {
        esd_send("Path \"%1\" keeps its frames per step: a step must last more than 0 frames.",
                 r.path->name);
        return;
    }
    r.path->steps = v[1];
}

void read_path_guid(Reading &r)
{
    const std::string guid = read_string(r, kGuidMax);
    if (r.path)
        set_guid(r.path, guid);
}

// A new node that starts as a copy of the last one, so attributes no key frame mentions keep
// their earlier values; FRAME records then fill it.
void read_keyframe(Reading &r)
{
    if (!r.path) {
        r.skip();
        return;
    }
    const PathNode *last = r.path->get_node(r.path->get_nodecount() - 1);
    r.path->appendPathNode(last ? new PathNode(*last) : new PathNode);
    r.open_plain();
}

void read_wizdef(Reading &r)
{
    if (!r.path) {
        r.skip();
        return;
    }
    r.wizards.push_back(std::make_unique<PathWizInfo>());
    if (!r.open_records(CloseKind::Wizard))
        r.wizards.pop_back();
}

// OBJPATH ( w ( s ) w ( s ) ... ): every path named is attached to the current object.
void read_objpath(Reading &r)
{
    std::vector<std::string> fields;
    while (next_entry(r, fields, 1)) {
        if (fields.empty() || !r.current)
            continue;
        _path *p = id_or_name_to_path(fields[0].c_str());
        if (p)
            path_associate(p, r.current);
        else
            esd_send("Path \"%1\" was not found.", fields[0].c_str());
    }
}

} // namespace kiv::asf
