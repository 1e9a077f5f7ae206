// Part files: one graphics object's mesh and face groups stored in a file, in the text form
// headed "KVG Version 1.2" (GS_FILE_TEXT) or the forms added beside it.
//
// A part read back is an ADT_Object whose polygons all sit in ADT_Face children, one per
// face group of the file, placed at the origin with the identity orientation. Failures are
// reported as message 5 with the reason.
#pragma once

#include <kivctrl/gsobject.h>

class QelFileReader;

// Reads the part in path; null when it cannot be opened or is not a valid part of that form.
GSobject *GSobject_read(const char *path, GSfileformat fmt);
// Reads a part from an open stream; null when the stream reports an error or the data is
// not a valid part. The stream is left open.
GSobject *GSobject_read(QelFileReader &reader, GSfileformat fmt);
// Writes obj's mesh to path. False when obj is null or a face, the form cannot be written,
// or the file cannot be opened or written; the file is left untouched unless it was opened.
bool GSobject_write(GSobject *obj, const char *path, GSfileformat fmt);
