// The plug-in libraries beside the engine, and the picture writers they bring.
#pragma once

#include <kivctrl/gs_image.h>

#include <string>

namespace kivrender {

// The directory libkivctrl.so was loaded from.
std::string engine_directory();

// Opens every "qel_*.so" in the engine's directory, as the control does; returns how many
// opened. They stay open until dl_term().
int load_plugins();

// The still-picture writer whose suffixes include the extension of file (without the dot,
// ignoring case); null when no plug-in brought one.
GSimageWriterFactory *still_writer_for(const std::string &file);

} // namespace kivrender
