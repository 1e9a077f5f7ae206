// The context in which the records of one assembly file are read: the current object, the
// open containers, the reading directory, and the helpers record readers share to read
// their bodies.
#pragma once

#include <kivctrl/bookmark.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/loader.h>
#include <kivctrl/path.h>

#include "assembly/asf_input.h"

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class _geometry;
struct _geom_params;

namespace kiv::asf {

// Containers nested deeper than this are skipped whole with a message: the scene's tree
// walks, drawing and picking must never meet a tree deeper than they can take.
constexpr std::size_t kMaxDepth = 1000;

// What closing an open container does.
enum class CloseKind {
    Plain,         // records only (PRESET, CUSTOMCOLORS, BOOKMARK_LIST): nothing to do
    Object,        // OBJECT, LIGHT, VIEWPOINT, FACE: the object stays current, closed
    Group,         // GROUP, REFERENCE: the same, and the group becomes unique
    DropObject,    // VIEWPOINT of an inserted file: deleted, the earlier current restored
    PathDef,       // the rest of a path definition: the enclosing current path comes back
    Wizard,        // WIZDEF: its settings are kept with the current path
    Bookmark,      // BOOKMARK: added to the current object's bookmarks
};

struct OpenContainer {
    CloseKind kind;
    _object *object;
    ASSY_STATE saved_state;
    _object *saved_current;
    bool saved_closed;
    _path *saved_path;
};

struct Reading {
    Reading(Input &input, std::string dir, _object *insert_parent)
        : in(input), directory(std::move(dir)), parent(insert_parent), current(insert_parent)
    {
    }

    Input &in;
    std::string directory;  // of the file being read; relative names are joined to it
    _object *parent;        // the object a file is inserted under; null for a main file
    _object *current;       // records that set attributes apply to it
    _object *root = nullptr;
    bool closed = false;    // current is a closed container: the next object is its sibling
    _geometry *geometry = nullptr;  // made by FILEINFO, waiting for SOURCEINFO
    std::vector<OpenContainer> open;
    bool depth_reported = false;
    bool have_token = false;  // a token read ahead, to be dispatched next
    Token token;
    _path *path = nullptr;  // the path being defined: path records act on it
    // Open WIZDEF and BOOKMARK records, innermost last; each is handed on when it closes.
    std::vector<std::unique_ptr<PathWizInfo>> wizards;
    std::vector<std::unique_ptr<_bookmark>> bookmarks;

    bool inserting() const { return parent != nullptr; }
    // While a main file is read, outside every object container: records for the
    // environment and the root apply only here.
    bool top_level() const { return assy_get_state() == ASSY_STATE_NONE; }
    // The level of material values: 200 on a face, 100 elsewhere.
    int level() const;

    // The body of a record that may not be read here, skipped whole.
    void skip() { in.skip_body(); }
    // Opens a container that creates an object of type t (light: LIGHT_DIRECTED).
    void open_object(OBJECT_TYPE t, CloseKind kind, ASSY_STATE state);
    // Opens a container whose body holds records and creates nothing.
    void open_plain();
    // Opens a container of this kind (PathDef, Wizard, Bookmark); false when it is too deep
    // and its body was skipped.
    bool open_records(CloseKind kind);
    PathWizInfo *wizard() const { return wizards.empty() ? nullptr : wizards.back().get(); }
    _bookmark *bookmark() const { return bookmarks.empty() ? nullptr : bookmarks.back().get(); }
    void close_innermost();
    void forget_paths_of(_object *o);
    // Relative names joined to the reading directory; an empty name stays empty.
    std::string joined(std::string_view name) const;
};

// The number of values of a value body (commas between them, whitespace already dropped)
// that scan as finite numbers, in order up to the first that does not.
int scan_floats(std::string_view body, float *out, int max);
int scan_ints(std::string_view body, int *out, int max);

// Reads a value body and scans exactly n finite numbers from it; false (nothing to apply:
// the earlier value stays) when fewer scan.
bool read_floats(Reading &r, float *out, int n);
bool read_int(Reading &r, int &out);
bool read_float(Reading &r, float &out);
// A string body: one token of at most max characters, then the rest of the body.
std::string read_string(Reading &r, std::size_t max = 255);

// Whether the next token is a record with one of these keywords: true leaves its body to
// read; false keeps the token for the container loop (or for abandon_body).
bool next_record_is(Reading &r, std::initializer_list<const char *> keywords);
// Skips what is left of the body being read, including a token kept by next_record_is.
void abandon_body(Reading &r);

// Reads records until the top level closes or the text ends, closing what is left open.
void read_document(Reading &r);

using RecordReader = void (*)(Reading &r);

// The reader of a keyword (compared case-insensitively); null when the keyword is unknown.
// Known keywords whose records have no effect here read as skip_record.
RecordReader find_record(std::string_view keyword);
void skip_record(Reading &r);

// Record readers, by group (asf_records_*.cpp).
void read_environment(Reading &r);
void read_group(Reading &r);
void read_reference(Reading &r);
void read_object(Reading &r);
void read_light(Reading &r);
void read_viewpoint(Reading &r);
void read_face(Reading &r);
void read_preset(Reading &r);
void read_name(Reading &r);
void read_id(Reading &r);
void read_guid(Reading &r);
void read_sourceid(Reading &r);
void read_usage(Reading &r);
void read_expanded(Reading &r);
void read_active(Reading &r);
void read_layer(Reading &r);
void read_layerdef(Reading &r);
void read_prop(Reading &r);
void read_defprop(Reading &r);

void read_location(Reading &r);
void read_orientation(Reading &r);
void read_offset(Reading &r);
void read_ignored_value(Reading &r);
void read_constrain(Reading &r);
void read_constraint_mode(Reading &r);

void read_color(Reading &r);

void read_file(Reading &r);
void read_fileinfo(Reading &r);
void read_sourceinfo(Reading &r);
void read_geometry(Reading &r);
void read_extent(Reading &r);
void read_faceinfo(Reading &r);

void read_note_file(Reading &r);
void read_specular(Reading &r);
void read_emission(Reading &r);
void read_rendering(Reading &r);
void read_texture(Reading &r);
void read_note_link(Reading &r);
void read_backdrop(Reading &r);

void read_background(Reading &r);
void read_mbactive(Reading &r);
void read_mbblend(Reading &r);
void read_mbfade(Reading &r);
void read_mbfadeframes(Reading &r);
void read_ambient(Reading &r);
void read_textcolor(Reading &r);
void read_clippos(Reading &r);
void read_units(Reading &r);
void read_customcolors(Reading &r);

void read_tasklist(Reading &r);

// Shapes named by GEOMETRY and FRAME_GENGEOM: false when the values do not make one.
bool fill_shape(_geom_params &g, const std::string &kind, const std::string &values);

// Paths, their nodes and the time line (asf_records_paths.cpp, asf_records_frames.cpp,
// asf_records_timeline.cpp).
void read_path(Reading &r);
void read_pathdef(Reading &r);
void read_nodes(Reading &r);
void read_frames(Reading &r);
void read_path_vis(Reading &r);
void read_path_dir(Reading &r);
void read_path_type(Reading &r);
void read_path_steps(Reading &r);
void read_path_guid(Reading &r);
void read_keyframe(Reading &r);
void read_wizdef(Reading &r);
void read_objpath(Reading &r);
void read_pathlist(Reading &r);
void read_animationlist(Reading &r);
void read_autoplay(Reading &r);
void read_bookmark_list(Reading &r);
void read_bookmark(Reading &r);
void read_bookmark_name(Reading &r);
void read_bookmark_mask(Reading &r);
void read_wiz_dist(Reading &r);
void read_wiz_angle(Reading &r);
void read_wiz_icolor(Reading &r);
void read_wiz_fcolor(Reading &r);
void read_wiz_fadefrom(Reading &r);
void read_wiz_fadeto(Reading &r);
void read_wiz_axis(Reading &r);
void read_wiz_units(Reading &r);
void read_wiz_fade(Reading &r);
void read_wiz_startframe(Reading &r);
// The next entry of a list record (OBJPATH, PATHLIST, ANIMATIONLIST), at most max fields:
// "w ( a, b )" or "( a, b )" in the text form, "<w>a, b</w>" or "(a, b)" in the tag form;
// the word is not used. False at the list's close.
bool next_entry(Reading &r, std::vector<std::string> &fields, std::size_t max);
// A frame record of attribute `bit` (FRAME_POS is bit 1, and so on).
void read_frame(Reading &r, int bit);
template <int Bit>
void frame_record(Reading &r)
{
    read_frame(r, Bit);
}
// The node that frame records of attribute `bit` fill: the current path's last node (the
// bit is then set in the path's status) or else the current bookmark; null for neither.
PathNode *frame_target(Reading &r, int bit);

} // namespace kiv::asf
