// Scanners for numbers and delimiters inside strings. Numbers are read in the "C" notation
// whatever the process locale ('.' is always the decimal point). Each returns the position
// after what it read, or null (leaving the outputs untouched) when it is not there.
#pragma once

// Leading whitespace, then a number as strtod reads it.
const char *scan_float(const char *s, float *v);
// Leading whitespace, then a base-10 integer as strtol reads it, clamped to the int range.
const char *scan_int(const char *s, int *v);
// Skips whitespace; when the next character is one of delims, stores it in *found (when
// given) and returns the position after it; otherwise returns that character's position.
const char *scan_delimiter(const char *s, const char *delims, char *found);
// Three numbers separated by whitespace and optional commas.
const char *scan_3floats(const char *s, float *x, float *y, float *z);

inline char *scan_float(char *s, float *v)
{
    return const_cast<char *>(scan_float(static_cast<const char *>(s), v));
}
inline char *scan_int(char *s, int *v)
{
    return const_cast<char *>(scan_int(static_cast<const char *>(s), v));
}
inline char *scan_delimiter(char *s, const char *delims, char *found)
{
    return const_cast<char *>(scan_delimiter(static_cast<const char *>(s), delims, found));
}
inline char *scan_3floats(char *s, float *x, float *y, float *z)
{
    return const_cast<char *>(scan_3floats(static_cast<const char *>(s), x, y, z));
}
