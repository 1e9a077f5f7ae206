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

// Records with no effect here (publishing data, and FRAMES, PATH_NAME or instructions outside
// a path definition) are recognised and their bodies skipped whole, so whatever they hold
// never reaches the enclosing container.
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
    {"PATH", read_path},
    {"NODES", read_nodes},
    {"PATHLIST", read_pathlist},
    {"PATH_DIR", read_path_dir},
    {"PATH_MODE", read_ignored_value},
    {"PATH_TYPE", read_path_type},
    {"PATH_VIS", read_path_vis},
    {"PATH_STEPS", read_path_steps},
    {"ANIMATIONLIST", read_animationlist},
    {"OBJPATH", read_objpath},
    {"KEYFRAME", read_keyframe},
    {"FRAME_POS", frame_record<PATH_ATTR_POSITION>},
    {"FRAME_ORIENT", frame_record<PATH_ATTR_ORIENTATION>},
    {"FRAME_COLOR", frame_record<PATH_ATTR_COLOR>},
    {"FRAME_TRANSP", frame_record<PATH_ATTR_TRANSPARENCY>},
    {"FRAME_SPEC", frame_record<PATH_ATTR_SPECULAR>},
    {"FRAME_SHIN", frame_record<PATH_ATTR_SHININESS>},
    {"FRAME_NAME", frame_record<PATH_ATTR_NAME_VIS>},
    {"FRAME_HIDE", read_ignored_value},
    {"FRAME_OBJVIS", frame_record<PATH_ATTR_VIS>},
    {"FRAME_REFLECT", frame_record<PATH_ATTR_REFLECTIVITY>},
    {"FRAME_EMISSION", frame_record<PATH_ATTR_EMISSION>},
    {"PATHDEF", read_pathdef},
    {"PATH_NAME", skip_record},
    {"FRAMES", skip_record},
    {"PATH_ID", read_ignored_value},
    {"PATH_GUID", read_path_guid},
    {"FRAME_INTENSITY", frame_record<PATH_ATTR_INTENSITY>},
    {"FRAME_EXPONENT", frame_record<PATH_ATTR_EXPONENT>},
    {"FRAME_LIGHTANGLE", frame_record<PATH_ATTR_LIGHT_ANGLE>},
    {"FRAME_VIEWANGLE", frame_record<PATH_ATTR_VIEW_ANGLE>},
    {"FRAME_NOTENAME", frame_record<PATH_ATTR_NOTE_NAME>},
    {"FRAME_NOTEOFFSET", frame_record<PATH_ATTR_NOTE_OFFSET>},
    {"FRAME_NOTELEADER", frame_record<PATH_ATTR_NOTE_LEADER>},
    {"FRAME_NOTEFOREGROUND", frame_record<PATH_ATTR_NOTE_FOREGROUND>},
    {"FRAME_NOTEVISIBLE", frame_record<PATH_ATTR_NOTE_VISIBLE>},
    {"FRAME_NOTELINK", frame_record<PATH_ATTR_NOTE_LINK>},
    {"FRAME_TEXTURENAME", frame_record<PATH_ATTR_TEXTURE_NAME>},
    {"FRAME_TEXTUREACTIVE", frame_record<PATH_ATTR_TEXTURE_ACTIVE>},
    {"FRAME_TEXTUREMETHOD", frame_record<PATH_ATTR_TEXTURE_METHOD>},
    {"FRAME_TEXTUREQUALITY", frame_record<PATH_ATTR_TEXTURE_QUALITY>},
    {"FRAME_TEXTURETYPE", frame_record<PATH_ATTR_TEXTURE_TYPE>},
    {"FRAME_TEXTURESCALE", frame_record<PATH_ATTR_TEXTURE_SCALE>},
    {"FRAME_TEXTUREPOS", frame_record<PATH_ATTR_TEXTURE_POSITION>},
    {"FRAME_TEXTUREANGLE", frame_record<PATH_ATTR_TEXTURE_ANGLE>},
    {"FRAME_TEXTUREGRIDPOS", frame_record<PATH_ATTR_TEXTURE_GRID_POSITION>},
    {"FRAME_TEXTUREGRIDORIENT", frame_record<PATH_ATTR_TEXTURE_GRID_ORIENTATION>},
    {"FRAME_TEXTUREGRIDSCALE", frame_record<PATH_ATTR_TEXTURE_GRID_SCALE>},
    {"FRAME_ENVSUSPENDLINKAGE", frame_record<PATH_ATTR_SUSPEND_LINKAGE>},
    {"FRAME_ENVTEXTCOLOR", frame_record<PATH_ATTR_ENV_TEXTCOLOR>},
    {"FRAME_ENVAMBIENT", frame_record<PATH_ATTR_ENV_AMBIENT>},
    {"FRAME_ENVCLIPPOS", frame_record<PATH_ATTR_ENV_CLIP>},
    {"FRAME_MATIOR", frame_record<PATH_ATTR_IOR>},
    {"FRAME_MATROUGHNESS", frame_record<PATH_ATTR_ROUGHNESS>},
    {"FRAME_MATMETALLIC", frame_record<PATH_ATTR_METALLIC>},
    {"FRAME_MATSHADOW", frame_record<PATH_ATTR_SHADOW>},
    {"FRAME_GENGEOM", frame_record<PATH_ATTR_GEOMETRY>},
    {"AUTOPLAY", read_autoplay},
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
    {"WIZDEF", read_wizdef},
    {"WIZ_DIST", read_wiz_dist},
    {"WIZ_ANGLE", read_wiz_angle},
    {"WIZ_ICOLOR", read_wiz_icolor},
    {"WIZ_FCOLOR", read_wiz_fcolor},
    {"WIZ_FADEFROM", read_wiz_fadefrom},
    {"WIZ_FADETO", read_wiz_fadeto},
    {"WIZ_AXIS", read_wiz_axis},
    {"WIZ_UNITS", read_wiz_units},
    {"WIZ_FADE", read_wiz_fade},
    {"WIZ_STARTFRAME", read_wiz_startframe},
    {"BOOKMARK_LIST", read_bookmark_list},
    {"BOOKMARK", read_bookmark},
    {"BOOKMARK_NAME", read_bookmark_name},
    {"BOOKMARK_MASK", read_bookmark_mask},
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
