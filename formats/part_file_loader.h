// The load step shared by the loaders of our own part files.
#pragma once

#include <kivctrl/gs_part_file.h>

// Reads file in the given form with its pivot at the origin and hands the object
// to geometry (or frees it when there is nobody to hand it to). LOADER_GEOMETRY when read,
// LOADER_NOT_TAKEN otherwise.
int load_part_file(const char *file, GSfileformat form, GSobject **geometry);
