#include "platform/string_table.h"

namespace kiv::platform {
namespace {

struct Entry {
    unsigned id;
    const char *text;
};

constexpr Entry table[] = {
    {100, "kivctrl"},
    {40000, "Windows Bitmap"},
    {40001, "CompuServe Graphics Interchange Format"},
    {40002, "JPEG"},
    {40003, "LightWorks Image"},
    {40004, "Truevision Targa"},
    {40005, "Tagged Image File Format"},
    {40006, "Rich Text Format"},
};

} // namespace

const char *string_resource(unsigned id)
{
    for (const Entry &e : table)
        if (e.id == id)
            return e.text;
    return nullptr;
}

} // namespace kiv::platform
