// Null-safe string functions for narrow (UTF-8) and wide (UTF-16) text.
#pragma once

#include <cstddef>

// Length of s, 0 for a null pointer.
int qel_strlen(const char *s);
int qel_strlen(const unsigned short *s);
