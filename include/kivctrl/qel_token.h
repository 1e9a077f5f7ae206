// Text tokens in strings: the engine's quoting scheme (bare words, or double-quoted text
// with '^' escapes) for values written into and read from text files.
#pragma once

// Encodes s (len bytes, or up to its terminator when len is 0 or less; null is the empty
// text) as a token into out. Writes only when the whole token and its terminator fit in
// size bytes, otherwise out becomes empty. Returns the bytes needed, terminator included,
// so a result above size means the token did not fit.
int qel_quotestring(char *out, int size, const char *s, int len);

// Reads one token from s (len bytes, or up to its terminator when len is 0 or less):
// skips whitespace, then reads a quoted token, or a bare one up to one of delims (not part
// of it) with its trailing whitespace removed. *rest (when rest is given) points after the
// token, at the delimiter or the trailing whitespace, or is null when nothing of s is left.
// The token is stored as by qel_quotestring; returns the bytes needed, terminator included.
int qel_unquotestring(char *out, int size, const char **rest, const char *delims, const char *s,
                      int len);
