// DCL implode compression: an LZ77 stream with a 1024, 2048 or 4096-byte dictionary and fixed
// prefix codes, as stored in compressed part and assembly files.
//
// Both entry points pull input through `read` and push output through `write`, passing
// `param` through untouched, and keep all their state in the caller's work area, so they
// allocate nothing.
//   read(buf, size, param): fill at most *size bytes of buf; return the number supplied,
//                           0 at the end of the input.
//   write(buf, size, param): take the *size bytes of buf.
#pragma once

// Sizes of the work areas the caller passes as `work`; any alignment will do.
inline constexpr unsigned int DCL_IMPLODE_WORK_SIZE = 36312;
inline constexpr unsigned int DCL_EXPLODE_WORK_SIZE = 12596;

// Literal modes: raw 8-bit literals, or literals coded for text.
inline constexpr unsigned int DCL_BINARY = 0;
inline constexpr unsigned int DCL_ASCII = 1;

// Compresses everything `read` supplies. dict_size is 1024, 2048 or 4096.
// Returns 0 on success, 1 for an invalid dictionary size, 2 for an invalid literal mode.
unsigned int dcl_implode(unsigned int (*read)(char *buf, unsigned int *size, void *param),
                         void (*write)(char *buf, unsigned int *size, void *param), char *work,
                         void *param, unsigned int literal_mode, unsigned int dict_size);

// Decompresses one stream. Input is read in chunks of up to 2048 bytes, output written in
// chunks of 4096 bytes (the last one shorter). Returns 0 on success; 1 for a dictionary size
// code other than 4, 5 or 6; 2 for a literal mode other than 0 or 1; 3 when the first read
// supplies 4 bytes or fewer; 4 when the stream ends or is corrupt before its end marker
// (everything decoded until then has been written).
unsigned int dcl_explode(unsigned int (*read)(char *buf, unsigned int *size, void *param),
                         void (*write)(char *buf, unsigned int *size, void *param), char *work,
                         void *param);
