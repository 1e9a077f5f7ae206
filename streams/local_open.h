// Opening local files named the Windows way.
#pragma once

#include <cstdio>

namespace localfile {

// fopen after mapping the name to this file system: a file URL gives the path in it, '\'
// separators become '/', and a name that does not exist as written is looked up component
// by component ignoring letter case.
std::FILE *open(const char *path, const char *mode);

} // namespace localfile
