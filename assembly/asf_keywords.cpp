// The keyword table of assembly files: every record keyword and its reader. Keywords are
// compared case-insensitively and none is listed twice, so one hash lookup finds a record.
#include "assembly/asf_reading.h"
#include "assembly/asf_setter_records.h"

#include <kivctrl/obj_attr.h>
#include <kivctrl/ve_zoom.h>

#include <cctype>
#include <string>
#include <unordered_map>

namespace kiv::asf {

namespace {

struct Keyword {
    const char *name;
    RecordReader reader;
};

// Records whose readers are not given here (animation paths, the time line, bookmarks,
// publishing data and instructions outside a path) are recognised and their bodies skipped
// whole, so whatever they hold never reaches the enclosing container.
constexpr Keyword kKeywords[] = {
    {"ENVIRONMENT", read_environment},
    // Containers and presets.
    {"REFERENCE", read_reference},
    {"GROUP", read_group},
    {"VIEWPOINT", read_viewpoint},
    {"PRESET", read_preset},
    {"LIGHT", read_light},
    {"OBJECT", read_object},
    {"FACE", read_face},
    // Identity and organisation.
    {"NAME", read_name},
    {"ID", read_id},
    {"GUID", read_guid},
    {"NAME_VIS", value_int<obj_set_name_vis>},
    {"SOURCEID", read_sourceid},
    {"USAGE", read_usage},
    {"EXPANDED", read_expanded},
    {"VISIBLE", value_int<obj_set_vis>},
    {"ACTIVE", read_active},
    {"LAYER", read_layer},
    {"LAYERDEF", read_layerdef},
    {"PROP", read_prop},
    {"DEFPROP", read_defprop},
    // Placement.
    {"LOCATION", read_location},
    {"ORIENTATION", read_orientation},
    {"OFFSET", read_offset},
    {"SCALE", read_ignored_value},
    {"SELECT", read_ignored_value},
    {"CONSTRAIN", read_constrain},
    {"CONSTRAINT_MODE", read_constraint_mode},
    // Material and drawing.
    {"COLOR", read_color},
    {"SPECULAR", read_specular},
    {"SHININESS", material_float<obj_set_shininess>},
    {"TRANSPARENCY", material_float<obj_set_transparency>},
    {"REFLECTIVITY", material_float<obj_set_reflectivity>},
    {"IOR", material_float<obj_set_ior>},
    {"ROUGHNESS", material_float<obj_set_roughness>},
    {"METALLIC", material_int<obj_set_metallic>},
    {"SHADOW", material_int<obj_set_shadow>},
    {"EMISSION", read_emission},
    {"RENDERING", read_rendering},
    // Lights and views.
    {"TYPE", value_int<obj_set_ltype>},
    {"INTENSITY", value_float<obj_set_intensity>},
    {"EXPONENT", value_float<obj_set_exponent>},
    {"LIGHT_ANGLE", value_float<obj_set_angle>},
    {"VIEWANGLE", value_float<obj_set_viewangle>},
    // Geometry.
    {"FILE", read_file},
    {"FILEINFO", read_fileinfo},
    {"SOURCEINFO", read_sourceinfo},
    {"GEOMETRY", read_geometry},
    {"EXTENT", read_extent},
    {"FACEINFO", read_faceinfo},
    // Textures and notes.
    {"TEXTURE", read_texture},
    {"TXACTIVE", value_int<obj_set_textureactive>},
    {"TXQUALITY", value_int<obj_set_texturequality>},
    {"TXMETHOD", value_int<obj_set_texturemethod>},
    {"TXTYPE", value_int<obj_set_texturetype>},
    {"TXSCALE", value_vect2<obj_set_texturescale>},
    {"TXPOS", value_vect2<obj_set_texturepos>},
    {"TXANGLE", value_float<obj_set_textureangle>},
    {"TXGRIDANGLES", value_vect3<obj_set_texturegrideangles>},
    {"TXGRIDPOS", value_vect3<obj_set_texturegridpos>},
    {"NOTE_FILE", read_note_file},
    {"NOTE_LINK", read_note_link},
    {"NOTE_VISIBLE", value_int<obj_set_notevisible>},
    {"NOTE_FOREGROUND", value_int<obj_set_noteforeground>},
    {"NOTE_LEADER", value_int<obj_set_noteleader>},
    {"NOTE_OFFSET", value_vect2<obj_set_noteoffset>},
    // The environment and the root.
    {"BACKGROUND", read_background},
    {"BACKDROP", read_backdrop},
    {"BDACTIVE", backdrop_int<obj_set_textureactive>},
    {"BDHJUSTIFY", backdrop_int<obj_set_texturemethod>},
    {"BDVJUSTIFY", backdrop_int<obj_set_texturequality>},
    {"BDTILE", backdrop_int<obj_set_texturetype>},
    {"MBACTIVE", read_mbactive},
    {"MBBLEND", read_mbblend},
    {"MBFADE", read_mbfade},
    {"MBFADEFRAMES", read_mbfadeframes},
    {"AMBIENT", read_ambient},
    {"TEXTCOLOR", read_textcolor},
    {"CLIPPOS", read_clippos},
    {"UNITS", read_units},
    {"CUSTOMCOLORS", read_customcolors},
    // Paths, the time line, bookmarks, publishing.
    {"PATH", skip_record},
    {"NODES", skip_record},
    {"PATHLIST", skip_record},
    {"PATH_DIR", skip_record},
    {"PATH_MODE", skip_record},
    {"PATH_TYPE", skip_record},
    {"PATH_VIS", skip_record},
    {"PATH_STEPS", skip_record},
    {"ANIMATIONLIST", skip_record},
    {"OBJPATH", skip_record},
    {"KEYFRAME", skip_record},
    {"FRAME_POS", skip_record},
    {"FRAME_ORIENT", skip_record},
    {"FRAME_COLOR", skip_record},
    {"FRAME_TRANSP", skip_record},
    {"FRAME_SPEC", skip_record},
    {"FRAME_SHIN", skip_record},
    {"FRAME_NAME", skip_record},
    {"FRAME_HIDE", skip_record},
    {"FRAME_OBJVIS", skip_record},
    {"FRAME_REFLECT", skip_record},
    {"FRAME_EMISSION", skip_record},
    {"PATHDEF", skip_record},
    {"PATH_NAME", skip_record},
    {"FRAMES", skip_record},
    {"PATH_ID", skip_record},
    {"PATH_GUID", skip_record},
    {"FRAME_INTENSITY", skip_record},
    {"FRAME_EXPONENT", skip_record},
    {"FRAME_LIGHTANGLE", skip_record},
    {"FRAME_VIEWANGLE", skip_record},
    {"FRAME_NOTENAME", skip_record},
    {"FRAME_NOTEOFFSET", skip_record},
    {"FRAME_NOTELEADER", skip_record},
    {"FRAME_NOTEFOREGROUND", skip_record},
    {"FRAME_NOTEVISIBLE", skip_record},
    {"FRAME_NOTELINK", skip_record},
    {"FRAME_TEXTURENAME", skip_record},
    {"FRAME_TEXTUREACTIVE", skip_record},
    {"FRAME_TEXTUREMETHOD", skip_record},
    {"FRAME_TEXTUREQUALITY", skip_record},
    {"FRAME_TEXTURETYPE", skip_record},
    {"FRAME_TEXTURESCALE", skip_record},
    {"FRAME_TEXTUREPOS", skip_record},
    {"FRAME_TEXTUREANGLE", skip_record},
    {"FRAME_TEXTUREGRIDPOS", skip_record},
    {"FRAME_TEXTUREGRIDORIENT", skip_record},
    {"FRAME_TEXTUREGRIDSCALE", skip_record},
    {"FRAME_ENVSUSPENDLINKAGE", skip_record},
    {"FRAME_ENVTEXTCOLOR", skip_record},
    {"FRAME_ENVAMBIENT", skip_record},
    {"FRAME_ENVCLIPPOS", skip_record},
    {"FRAME_MATIOR", skip_record},
    {"FRAME_MATROUGHNESS", skip_record},
    {"FRAME_MATMETALLIC", skip_record},
    {"FRAME_MATSHADOW", skip_record},
    {"FRAME_GENGEOM", skip_record},
    {"AUTOPLAY", skip_record},
    {"PUBLISHDATA", skip_record},
    {"PUBLISHITEM", skip_record},
    {"PUBLISH", skip_record},
    {"PUB_TITLE", skip_record},
    {"PUB_AUTHOR", skip_record},
    {"PUB_DESC", skip_record},
    {"PUB_COMM", skip_record},
    {"PUB_COLOR", skip_record},
    {"INSTRUCTION", skip_record},
    {"INSTRUCTION_N", skip_record},
    {"INSTRUCTION_L", skip_record},
    {"WIZDEF", skip_record},
    {"WIZ_DIST", skip_record},
    {"WIZ_ANGLE", skip_record},
    {"WIZ_ICOLOR", skip_record},
    {"WIZ_FCOLOR", skip_record},
    {"WIZ_FADEFROM", skip_record},
    {"WIZ_FADETO", skip_record},
    {"WIZ_AXIS", skip_record},
    {"WIZ_UNITS", skip_record},
    {"WIZ_FADE", skip_record},
    {"WIZ_STARTFRAME", skip_record},
    {"BOOKMARK_LIST", skip_record},
    {"BOOKMARK", skip_record},
    {"BOOKMARK_NAME", skip_record},
    {"BOOKMARK_MASK", skip_record},
    // Tasks.
    {"TASKLIST", read_tasklist},
};

static_assert(std::size(kKeywords) == 166);

std::string upper(std::string_view s)
{
    std::string u(s);
    for (char &c : u)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

const std::unordered_map<std::string, RecordReader> &table()
{
    static const std::unordered_map<std::string, RecordReader> t = [] {
        std::unordered_map<std::string, RecordReader> m;
        for (const Keyword &k : kKeywords)
            m.emplace(k.name, k.reader);
        return m;
    }();
    return t;
}

} // namespace

RecordReader find_record(std::string_view keyword)
{
    if (keyword.size() > Input::kWordMax)
        return nullptr;
    const auto it = table().find(upper(keyword));
    return it == table().end() ? nullptr : it->second;
}

// Publishing data, and FRAMES or instructions outside a path, are skipped whole: read as an
// enclosing container's records, a bare value inside them would be reported as unknown and
// an empty body would close the container.
void skip_record(Reading &r)
{
    r.skip();
}

} // namespace kiv::asf
