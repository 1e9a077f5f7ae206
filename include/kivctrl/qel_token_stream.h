// Text tokens on streams: bare words, or double-quoted text with '^' escapes.
#pragma once

class QelFileReader;
class QelFileWriter;

// Writes s (len characters, or up to its terminator when len is 0) as a token; returns the
// number of characters written.
int qel_writestring(QelFileWriter *w, const char *s, int len);
// Reads one token: a quoted token, or characters up to one of delims (pushed back) with
// trailing whitespace removed. out may be null to skip the token; a token that does not fit
// in size characters is returned empty. Returns the characters produced including the
// terminator.
int qel_readstring(QelFileReader *r, const char *delims, char *out, int size);
// Writes one byte; returns 1.
int qel_writechar(QelFileWriter *w, char c);
// Writes the characters as they are; returns their number.
int qel_writeliteral(QelFileWriter *w, const char *s, int len);
// "%d", "%g" (six significant digits), then written literally.
int qel_writeint(QelFileWriter *w, int v);
int qel_writereal(QelFileWriter *w, float v);
int qel_writereal(QelFileWriter *w, double v);
// One byte; returns 1, or 0 at the end.
int qel_readchar(QelFileReader *r, char &c);
// Consumes whitespace (stored in out when given) and pushes back the first other character;
// returns the characters produced including the terminator.
int qel_readwhitespace(QelFileReader *r, char *out, int size);
// Skips whitespace and reads one character: 1 with *which pointing at it in delims when it
// is one of them; otherwise pushes it back and returns 0.
int qel_readdelim(QelFileReader *r, const char *delims, char **which);
