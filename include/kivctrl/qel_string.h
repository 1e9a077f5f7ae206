// Null-safe string functions for narrow (UTF-8) and wide (UTF-16, unsigned short) text.
//
// Every function accepts null pointers: lengths are 0, copies and appends do nothing,
// comparisons order null before any text. Narrow case-insensitive comparison folds ASCII
// letters only (a byte-wise fold cannot be right for UTF-8); wide comparison uses towlower.
#pragma once

#include <cstddef>

int qel_strlen(const char *s);
int qel_strlen(const unsigned short *s);

// Copy s into d when both are non-null; return d.
char *qel_strcpy(char *d, const char *s);
unsigned short *qel_strcpy(unsigned short *d, const unsigned short *s);

// As strncpy (pads with zeros, no terminator when s is longer); a negative n copies nothing.
char *qel_strncpy(char *d, const char *s, int n);
unsigned short *qel_strncpy(unsigned short *d, const unsigned short *s, int n);

// Append s to d when both are non-null; strncat appends at most n (negative is 0) and
// always terminates.
char *qel_strcat(char *d, const char *s);
unsigned short *qel_strcat(unsigned short *d, const unsigned short *s);
char *qel_strncat(char *d, const char *s, int n);
unsigned short *qel_strncat(unsigned short *d, const unsigned short *s, int n);

// First occurrence of c in s (the terminator included, as strchr); null for a null s.
const char *qel_strchr(const char *s, int c);
char *qel_strchr(char *s, int c);
const unsigned short *qel_strchr(const unsigned short *s, unsigned short c);
unsigned short *qel_strchr(unsigned short *s, unsigned short c);

// -1, 0 or 1. The same pointer (both null included) is 0; a null a is -1, a null b is 1.
// Narrow text compares as unsigned bytes.
int qel_strcmp(const char *a, const char *b);
int qel_strcmp(const unsigned short *a, const unsigned short *b);
int qel_stricmp(const char *a, const char *b);
int qel_stricmp(const unsigned short *a, const unsigned short *b);
int qel_strnicmp(const char *a, const char *b, int n);
int qel_strnicmp(const unsigned short *a, const unsigned short *b, int n);

// Whitespace test: space, tab, newline, vertical tab, form feed, carriage return for bytes
// and, for wide characters, the other Unicode spaces except the no-break ones; never
// dependent on the process locale. The int form takes a
// character code (negative values such as EOF are not whitespace).
int qel_isspace(char c);
int qel_isspace(unsigned short c);
int qel_isspace(int c);

// UTF-8 to UTF-16. Ill-formed UTF-8 becomes U+FFFD; d needs qel_strlen(s) + 1 units.
// A null s gives an empty d; a null d does nothing. Returns d.
unsigned short *qel_wide(unsigned short *d, const char *s);
unsigned short *qel_wide(unsigned short *d, const unsigned short *s);

// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD; d needs 3 * qel_strlen(s) + 1 bytes.
// Returns d.
char *qel_narrow(char *d, const unsigned short *s);
char *qel_narrow(char *d, const char *s);
// Converts in place and returns the same storage as char*. The result never outgrows the
// storage of the wide text (2 * (length + 1) bytes): characters that no longer fit are
// dropped whole from the end.
char *qel_narrow(unsigned short *s);

// Conversion to the engine's default character type, which is narrow.
char *qel_default_char(char *d, const char *s);
char *qel_default_char(char *d, const unsigned short *s);
