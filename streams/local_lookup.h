// The process-wide table from URL to the cache file of its finished download. Created on
// first use with its message handler "LocalLookup CacheInvalidator", which empties it on
// message 15.
#pragma once

#include <string>

namespace kiv::streams {

// The cache file of url, "" when the table does not know it.
std::string lookup_download(const std::string &url);
// Records (or replaces) url's cache file.
void remember_download(const std::string &url, const std::string &cache_file);
// Drops url's entry, if any.
void forget_download(const std::string &url);

} // namespace kiv::streams
