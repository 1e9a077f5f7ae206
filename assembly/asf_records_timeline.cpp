// The time line (PATHLIST, ANIMATIONLIST, AUTOPLAY), the path wizard's settings and the
// bookmarks kept with objects.
#include "assembly/asf_reading.h"

#include <kivctrl/anim.h>
#include <kivctrl/qel_msg.h>

#include "animation/path_index.h"
#include "database/object_index.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace kiv::asf {

bool next_entry(Reading &r, std::vector<std::string> &fields, std::size_t max)
{
    for (;;) {
        const Token t = r.in.next();
        if (t.kind == TokenKind::Close || t.kind == TokenKind::WordClose ||
            t.kind == TokenKind::End)
            return false;
        if (t.kind == TokenKind::Word)
            continue;
        fields.clear();
        do {
            std::string f = r.in.string_token(Input::kValueMax);
            if (fields.size() < max)
                fields.push_back(std::move(f));
        } while (r.in.take(','));
        if (r.in.tags() && t.kind == TokenKind::Open)
            r.in.take(')');
        else
            r.in.finish_body();
        return true;
    }
}

namespace {

double field_number(const std::vector<std::string> &fields, std::size_t i)
{
    float v = 0.0f;
    return i < fields.size() && scan_floats(fields[i], &v, 1) == 1 ? v : 0.0;
}

int field_int(const std::vector<std::string> &fields, std::size_t i)
{
    int v = 0;
    return i < fields.size() && scan_ints(fields[i], &v, 1) == 1 ? v : 0;
}

const char *field(const std::vector<std::string> &fields, std::size_t i)
{
    return i < fields.size() ? fields[i].c_str() : "";
}

// Frames a path covers in a PATHLIST: (nodes - 1) * steps, truncated.
double list_length(const _path *p)
{
    const double n = std::max(p->get_nodecount() - 1, 0);
    return std::trunc(n * p->steps + 0.00001);
}

void report_unplaced(const std::vector<std::string> &fields)
{
    esd_send("The time line entry \"%1\", \"%2\" was not placed: its object or path was not found.",
             field(fields, 0), field(fields, 1));
}

} // namespace

// PATHLIST ( ( obj, path, track ) ... ): each path starts where the one before it ended;
// between ( START ) and ( END ) the paths start together and the list goes on after the
// longest. An entry whose path is found takes its length on the time line even when its
// object is missing, so the entries after it keep the times they were laid out at.
void read_pathlist(Reading &r)
{
    if (r.inserting() && !insert_component_path_info().paths) {
        r.skip();
        return;
    }
    const kiv::db::ObjectIndex objects(db_get_root());
    const kiv::anim::PathIndex paths;
    double start = 0.0;
    double group = 0.0;
    bool in_group = false;
    std::vector<std::string> fields;
    while (next_entry(r, fields, 3)) {
        const std::string &first = fields.front();
        if (first == "START") {
            in_group = true;
            group = 0.0;
            continue;
        }
        if (first == "END") {
            if (in_group)
                start += group;
            in_group = false;
            continue;
        }
        _object *o = objects.find(first.c_str());
        _path *p = paths.find(field(fields, 1));
        if (o && p)
            anim_add_path(o, p, start, field_int(fields, 2));
        else
            report_unplaced(fields);
        if (!p)
            continue;
        const double length = list_length(p);
        if (in_group)
            group = std::max(group, length);
        else
            start += length;
    }
}

// ANIMATIONLIST ( ( obj, path, start, track ) ... ): each path at its own start. An entry
// without a start begins at frame 0; an inserted file's entries are moved by its frames.
void read_animationlist(Reading &r)
{
    const InsertPathInfo insert = insert_component_path_info();
    if (r.inserting() && !insert.list) {
        r.skip();
        return;
    }
    const double offset = r.inserting() ? insert.frames : 0;
    const kiv::db::ObjectIndex objects(db_get_root());
    const kiv::anim::PathIndex paths;
    std::vector<std::string> fields;
    while (next_entry(r, fields, 4)) {
        _object *o = objects.find(field(fields, 0));
        _path *p = paths.find(field(fields, 1));
        if (!o || !p) {
            report_unplaced(fields);
            continue;
        }
        const double start = std::max(field_number(fields, 2) + offset, 0.0);
        anim_add_path(o, p, start, field_int(fields, 3));
    }
}

// AUTOPLAY ( i ): the assembly plays when opened, looping when i is 1.
void read_autoplay(Reading &r)
{
    int v = 0;
    read_int(r, v);
    _object *root = r.root ? r.root : db_get_root();
    traverse_clear();
    if (root && root->assembly)
        root->assembly->PathTraverseAll();
    if (traverse_get_loop())
        traverse_loop();
    if (v == 1)
        traverse_loop();
}

namespace {

enum class Wiz { Distance, Angles, InitialColor, FinalColor, FadeFrom, FadeTo, Axis, Units, Fade,
                 StartFrame };

template <Wiz W>
void wiz_record(Reading &r)
{
    float v[3];
    constexpr bool triple = W == Wiz::Distance || W == Wiz::Angles || W == Wiz::InitialColor ||
                            W == Wiz::FinalColor;
    if (!read_floats(r, v, triple ? 3 : 1))
        return;
    PathWizInfo *w = r.wizard();
    if (!w)
        return;
    const int whole = static_cast<int>(std::clamp(v[0], -2147483648.0f, 2147483520.0f));
    switch (W) {
    case Wiz::Distance: w->set_distance({v[0], v[1], v[2]}); break;
    case Wiz::Angles: w->set_angles({v[0], v[1], v[2]}); break;
    case Wiz::InitialColor: w->set_icolor({v[0], v[1], v[2]}); break;
    case Wiz::FinalColor: w->set_fcolor({v[0], v[1], v[2]}); break;
    case Wiz::FadeFrom: w->set_fadefrom(v[0]); break;
    case Wiz::FadeTo: w->set_fadeto(v[0]); break;
    case Wiz::Axis: w->set_axis(whole); break;
    case Wiz::Units: w->set_units(whole); break;
    case Wiz::Fade: w->set_fade(whole); break;
    case Wiz::StartFrame: w->set_startframe(v[0]); break;
    }
}

} // namespace

void read_bookmark_list(Reading &r)
{
    r.open_plain();
}

void read_bookmark(Reading &r)
{
    r.bookmarks.push_back(std::make_unique<_bookmark>(0));
    if (!r.open_records(CloseKind::Bookmark))
        r.bookmarks.pop_back();
}

void read_bookmark_name(Reading &r)
{
    const std::string name = read_string(r);
    if (_bookmark *b = r.bookmark())
        b->set_name(name.c_str());
}

// BOOKMARK_MASK ( digits ): attribute j is held when the j-th digit is '1' or the digits end
// before it.
void read_bookmark_mask(Reading &r)
{
    const std::string digits = r.in.value();
    _bookmark *b = r.bookmark();
    if (!b)
        return;
    for (int j = 0; j < _bookmark::kMaskSize; ++j)
        b->set_mask(j, j >= static_cast<int>(digits.size()) || digits[j] == '1');
}

void read_wiz_dist(Reading &r) { wiz_record<Wiz::Distance>(r); }
void read_wiz_angle(Reading &r) { wiz_record<Wiz::Angles>(r); }
void read_wiz_icolor(Reading &r) { wiz_record<Wiz::InitialColor>(r); }
void read_wiz_fcolor(Reading &r) { wiz_record<Wiz::FinalColor>(r); }
void read_wiz_fadefrom(Reading &r) { wiz_record<Wiz::FadeFrom>(r); }
void read_wiz_fadeto(Reading &r) { wiz_record<Wiz::FadeTo>(r); }
void read_wiz_axis(Reading &r) { wiz_record<Wiz::Axis>(r); }
void read_wiz_units(Reading &r) { wiz_record<Wiz::Units>(r); }
void read_wiz_fade(Reading &r) { wiz_record<Wiz::Fade>(r); }
void read_wiz_startframe(Reading &r) { wiz_record<Wiz::StartFrame>(r); }

} // namespace kiv::asf
