// The quoting scheme of text tokens, shared by the string forms (qel_quotestring,
// qel_unquotestring) and the stream forms (qel_writestring, qel_readstring).
//
// A token is bare when the text is non-empty and made only of ASCII letters, digits and
// "_-:./\"; otherwise it is written between double quotes with '^' escapes: ^" and ^^,
// ^a ^b ^t ^n ^v ^f ^r for the control characters 7-13, and ^ooo (three octal digits) for
// every other byte below 32, 127 and every byte above 127. The form never depends on the
// process locale or on the writer's wide-output flag.
#pragma once

#include <string>
#include <string_view>

namespace kiv::token {

// The token form of text.
std::string encode(std::string_view text);

// Characters to decode from: get() returns the next byte (0-255) or -1 at the end;
// unget(c) pushes back the byte get() just returned.
class Source {
public:
    virtual ~Source() = default;
    virtual int get() = 0;
    virtual void unget(int c) = 0;
};

struct Decoded {
    std::string text;
    // Whitespace taken from the source after a bare token and removed from its text; a text
    // source steps back over it so that it stays unconsumed.
    std::size_t trailing_space = 0;
};

// Reads one token: skips whitespace, then a quoted token up to its closing quote (or the
// end), or a bare token up to one of delims (pushed back; null delims: up to the end).
// Escapes ^x/^X take up to four hexadecimal digits; a value above 0xFF is stored as the
// UTF-8 form of that code point (narrow text here is UTF-8), lower values as one byte.
Decoded decode(Source &src, const char *delims);

// Stores token into out (size bytes) as far as room remains; when it does not fit with its
// terminator the output is emptied. Returns the bytes needed, terminator included. A null
// out or a size of 0 or less stores nothing.
int store(std::string_view token, char *out, int size);

} // namespace kiv::token
