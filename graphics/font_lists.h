// Bitmap-font display lists: one glBitmap list per character code, built per block of 256
// codes and per GL context from the "sans" face FreeType renders.
//
// Each block takes its own 256 list numbers from glGenLists, so blocks never collide with
// each other or with mesh lists, whatever numbers OpenGL hands out.
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class GSfontlists {
public:
    // Draws text (UTF-8) at the current raster position, building missing blocks first. Code
    // points above U+FFFF and bytes that are no UTF-8 show as U+FFFD.
    void draw(std::string_view text);
    // Builds the blocks of codes lo to hi that are missing.
    void build(unsigned lo, unsigned hi);
    // Deletes every block (the context must be current).
    void clear();
    // The font changed: deletes every block here and builds block 0 again; other contexts
    // drop their blocks before they next draw text.
    void rebuild();
    // Forgets every block without deleting it: the GL context is gone or replaced.
    void forget() { base_.fill(0); }
    // The first list number of a block, 0 when it is not built.
    GLuint block(unsigned b) const { return b < base_.size() ? base_[b] : 0; }
    int built() const;

private:
    void ensure(unsigned code);
    std::array<GLuint, 256> base_{};
    std::uint64_t generation_ = 0;
};

// The code points of UTF-8 text as 16-bit codes: U+FFFD for code points above U+FFFF and
// for bytes that do not form a character.
std::u16string GSfont_codes(std::string_view text);
