#include "graphics/font_lists.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPixelSize = 13;
constexpr char16_t kReplacement = 0xFFFD;

std::atomic<std::uint64_t> g_generation{0};

// The file fontconfig matches for "sans", or empty.
std::string sans_file()
{
    std::string file;
    FcPattern *pattern = FcNameParse(reinterpret_cast<const FcChar8 *>("sans"));
    if (!pattern)
        return file;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern *match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8 *path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
            file = reinterpret_cast<const char *>(path);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

// One FreeType library and face per thread: FreeType objects are not shared across threads.
class Face {
public:
    Face()
    {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            return;
        }
        const std::string file = sans_file();
        if (file.empty() || FT_New_Face(library_, file.c_str(), 0, &face_) != 0) {
            face_ = nullptr;
            return;
        }
        FT_Set_Pixel_Sizes(face_, 0, kPixelSize);
    }
    ~Face()
    {
        if (face_)
            FT_Done_Face(face_);
        if (library_)
            FT_Done_FreeType(library_);
    }
    Face(const Face &) = delete;
    Face &operator=(const Face &) = delete;

    // Compiles the glyph of code into list id: a bottom-up 1-bit bitmap and its advance.
    void compile(GLuint id, unsigned code) const
    {
        int w = 0, h = 0, left = 0, top = 0;
        float advance = 0.0f;
        std::vector<GLubyte> rows;
        if (face_ && FT_Load_Char(face_, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) == 0) {
            const FT_GlyphSlot g = face_->glyph;
            const FT_Bitmap &b = g->bitmap;
            advance = static_cast<float>(g->advance.x >> 6);
            if (b.pixel_mode == FT_PIXEL_MODE_MONO && b.width > 0 && b.rows > 0) {
                w = static_cast<int>(b.width);
                h = static_cast<int>(b.rows);
                left = g->bitmap_left;
                top = g->bitmap_top;
                const int stride = (w + 7) / 8;
                rows.resize(static_cast<size_t>(stride) * h);
                for (int y = 0; y < h; ++y) {
                    const unsigned char *src = b.buffer + static_cast<long>(y) * b.pitch;
                    std::copy(src, src + stride, rows.begin() + static_cast<long>(h - 1 - y) * stride);
                }
            }
        }
        if (rows.empty()) {
            // An empty bitmap inside a list would lose its advance: one clear pixel keeps it.
            w = h = 1;
            left = top = 0;
            rows.assign(1, 0);
        }
        glNewList(id, GL_COMPILE);
        glBitmap(w, h, static_cast<float>(-left), static_cast<float>(h - top), advance, 0.0f, rows.data());
        glEndList();
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

const Face &face()
{
    thread_local Face f;
    return f;
}

} // namespace

std::u16string GSfont_codes(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= text.size()) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        unsigned code = extra == 0 ? b : b & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            code = code << 6 | (c & 0x3F);
        }
        if (!ok) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        i += static_cast<size_t>(extra) + 1;
        out.push_back(code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF) ? kReplacement : static_cast<char16_t>(code));
    }
    return out;
}

void GSfontlists::rebuild()
{
    clear();
    generation_ = ++g_generation;
    build(0, 255);
}

int GSfontlists::built() const
{
    int n = 0;
    for (GLuint b : base_)
        n += b != 0;
    return n;
}

void GSfontlists::clear()
{
    for (GLuint &b : base_) {
        if (b)
            glDeleteLists(b, 256);
        b = 0;
    }
}

void GSfontlists::build(unsigned lo, unsigned hi)
{
    for (unsigned block = lo / 256; block <= hi / 256 && block < base_.size(); ++block) {
        if (base_[block])
            continue;
        const GLuint id = glGenLists(256);
        if (!id)
            return;
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        for (unsigned i = 0; i < 256; ++i)
            face().compile(id + i, block * 256 + i);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        base_[block] = id;
    }
}

void GSfontlists::ensure(unsigned code)
{
    if (!base_[code >> 8])
        build(code, code);
}

void GSfontlists::draw(std::string_view text)
{
    const std::uint64_t generation = g_generation.load();
    if (generation != generation_) {
        clear();
        generation_ = generation;
    }
    for (char16_t c : GSfont_codes(text)) {
        ensure(c);
        if (const GLuint b = base_[c >> 8])
            glCallList(b + (c & 0xFF));
    }
}
