// Texture and note records of the current object.
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

} // namespace kiv::asf
