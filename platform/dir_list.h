// Directory listing by pattern.
#pragma once

#include <string>
#include <vector>

namespace kiv::platform {

// Names of the entries of dir (including "." and "..") matching pattern with fnmatch,
// ignoring letter case; "*.*" keeps its Windows meaning of every name. In directory order;
// empty when dir cannot be read.
std::vector<std::string> list_directory(const std::string &dir, const std::string &pattern);

} // namespace kiv::platform
