// Texture, note and backdrop records that name files.
#include "assembly/asf_reading.h"

#include <kivctrl/obj_attr.h>
#include <kivctrl/qel_pathname.h>

namespace kiv::asf {

// The note's image is looked for (locate request 806) when it is missing.
void read_note_file(Reading &r)
{
    const std::string name = read_string(r, QEL_PATH_MAX - 1);
    if (r.current)
        obj_set_notename(r.current, r.joined(name).c_str(), 1);
}

void read_note_link(Reading &r)
{
    const std::string link = read_string(r, QEL_PATH_MAX - 1);
    if (r.current)
        obj_set_notelink(r.current, link.empty() ? nullptr : r.joined(link).c_str());
}

// An empty name is passed on as it is.
void read_texture(Reading &r)
{
    const std::string name = read_string(r, QEL_PATH_MAX - 1);
    if (r.current)
        obj_set_texturename(r.current, r.joined(name).c_str());
}

// The backdrop picture is the root's texture (see backdrop_int).
void read_backdrop(Reading &r)
{
    const std::string name = read_string(r, QEL_PATH_MAX - 1);
    if (r.top_level() && r.current)
        obj_set_texturename(r.current, r.joined(name).c_str());
}

}  // namespace kiv::asf
