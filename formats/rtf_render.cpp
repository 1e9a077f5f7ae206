// Laying out rich text with Pango and rendering it with Cairo into a 1-bit note picture.
#include "formats/rtf_image.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace kiv::formats {
namespace {

constexpr int kMaxHeight = 4096;
constexpr double kDpi = 96.0;

template <class T, void (*Free)(T *)>
struct Deleter {
    void operator()(T *p) const { Free(p); }
};
void unref_object(GObject *o)
{
    g_object_unref(o);
}
using Surface = std::unique_ptr<cairo_surface_t, Deleter<cairo_surface_t, cairo_surface_destroy>>;
using Cairo = std::unique_ptr<cairo_t, Deleter<cairo_t, cairo_destroy>>;
using Options = std::unique_ptr<cairo_font_options_t, Deleter<cairo_font_options_t, cairo_font_options_destroy>>;
using Attributes = std::unique_ptr<PangoAttrList, Deleter<PangoAttrList, pango_attr_list_unref>>;
using Description = std::unique_ptr<PangoFontDescription, Deleter<PangoFontDescription, pango_font_description_free>>;
using Object = std::unique_ptr<GObject, Deleter<GObject, unref_object>>;

// Pango's font maps are not shared between threads: one per thread.
PangoFontMap *font_map()
{
    thread_local Object map(G_OBJECT(pango_cairo_font_map_new()));
    return PANGO_FONT_MAP(map.get());
}

void add(PangoAttrList *list, PangoAttribute *a, const RtfSpan &s)
{
    a->start_index = static_cast<guint>(s.begin);
    a->end_index = static_cast<guint>(s.end);
    pango_attr_list_insert(list, a);
}

Attributes attributes_of(const RtfDocument &doc)
{
    Attributes list(pango_attr_list_new());
    for (const RtfSpan &s : doc.spans) {
        const RtfFormat &f = s.format;
        if (!f.font.empty())
            add(list.get(), pango_attr_family_new(f.font.c_str()), s);
        add(list.get(), pango_attr_size_new_absolute(static_cast<int>(f.size * PANGO_SCALE)), s);
        if (f.bold)
            add(list.get(), pango_attr_weight_new(PANGO_WEIGHT_BOLD), s);
        if (f.italic)
            add(list.get(), pango_attr_style_new(PANGO_STYLE_ITALIC), s);
        if (f.underline)
            add(list.get(), pango_attr_underline_new(PANGO_UNDERLINE_SINGLE), s);
        if (f.strike)
            add(list.get(), pango_attr_strikethrough_new(TRUE), s);
    }
    return list;
}

} // namespace

std::unique_ptr<GSbitmap> rtf_render(const RtfDocument &doc, int width)
{
    if (width <= 0)
        return nullptr;
    Object context(G_OBJECT(pango_font_map_create_context(font_map())));
    PangoContext *pc = PANGO_CONTEXT(context.get());
    pango_cairo_context_set_resolution(pc, kDpi);
    Options options(cairo_font_options_create());
    cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_FULL);
    pango_cairo_context_set_font_options(pc, options.get());

    Object layout_object(G_OBJECT(pango_layout_new(pc)));
    PangoLayout *layout = PANGO_LAYOUT(layout_object.get());
    Description base(pango_font_description_from_string("sans"));
    pango_font_description_set_absolute_size(base.get(), 16.0 * PANGO_SCALE);
    pango_layout_set_font_description(layout, base.get());
    pango_layout_set_width(layout, width * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_text(layout, doc.text.data(), static_cast<int>(doc.text.size()));
    Attributes attrs = attributes_of(doc);
    pango_layout_set_attributes(layout, attrs.get());

    // The picture is as high as the text and as wide as its widest laid-out line's ink.
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    const int w = std::clamp(ink.x + ink.width, 1, width);
    const int h = std::clamp(logical.y + logical.height, 1, kMaxHeight);

    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_A1, w, h));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    {
        Cairo cr(cairo_create(surface.get()));
        cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
        cairo_set_source_rgba(cr.get(), 0, 0, 0, 1);
        pango_cairo_update_context(cr.get(), pc);
        pango_layout_context_changed(layout);
        pango_cairo_show_layout(cr.get(), layout);
    }
    cairo_surface_flush(surface.get());

    // Cairo's A1 rows run top-down in native 32-bit words, first pixel in the lowest bit;
    // the note picture runs bottom-up with the first pixel in the highest bit of each byte.
    auto out = std::make_unique<GSbitmap>(w, h, 1);
    const unsigned char *data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < h; ++y) {
        const unsigned char *src = data + static_cast<std::ptrdiff_t>(y) * stride;
        unsigned char *dst = out->row(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            std::uint32_t word;
            std::memcpy(&word, src + 4 * (x / 32), sizeof word);
            if (word >> (x % 32) & 1u)
                dst[x / 8] |= static_cast<unsigned char>(0x80u >> (x % 8));
        }
    }
    return out;
}

std::unique_ptr<GSbitmap> rtf_image(std::string_view bytes, int width)
{
    const auto doc = rtf_parse(bytes);
    return doc ? rtf_render(*doc, width) : nullptr;
}

} // namespace kiv::formats
