// Locating missing files over the message bus. When a file named by the scene cannot be read,
// the engine first looks in the directory where the last file of the same kind was found, then
// asks the host with a locate request (messages 801, 802, 804, 805, 806) that a listener
// answers inside msg_send by writing a path into the request's answer buffer.
#pragma once

#include <cstdint>
#include <functional>

// Payload of a locate request: seven pointer-sized words.
//   word 0  sought       copy of the name as the scene holds it (at most 259 characters)
//   word 1  answer       writable buffer of answer_size characters, empty when sent; the
//                        listener writes the file's full path there, or leaves it empty to
//                        give up
//   word 2  context      what the file is for: the owning object's name (801, 802, 804), the
//                        note's stored name (806); null for the backdrop (805)
//   word 3  reserved     0
//   word 4  reserved     0
//   word 5  answer_size  260 (characters, terminator included)
//   word 6  reserved     0
struct QEL_LOCATE_REQUEST {
    const char *sought;
    char *answer;
    const char *context;
    std::intptr_t reserved1;
    std::intptr_t reserved2;
    std::intptr_t answer_size;
    std::intptr_t reserved3;
};

// Finds the file `name` (a buffer of 260 characters) for locate request `code`: 801 and 802
// share the search directory of part and assembly files, 804, 805 and 806 that of images.
//   1. name placed under the search directory (an absolute name as it stands);
//   2. name's directory replaced by the search directory;
//   3. the request sent on the bus, the answer tried, and asked again while the listener
//      answers paths that fail (at most 16 times, so a listener that keeps answering the same
//      bad path cannot hang the engine).
// Steps 1 and 2 are skipped while the search directory is empty. try_path reports success
// for a path. On success the path's directory becomes the search directory, name receives the
// path and the result is 1; otherwise name is unchanged and the result is 0. Unknown codes
// give 0 and send nothing.
int msg_locate(char *name, short code, const char *context,
               const std::function<bool(const char *path)> &try_path);

// The search directory of code's kind into out (260 characters); 0 for an unknown code.
int msg_locate_get_dir(short code, char *out);
// Sets the search directory of code's kind (cut to 259 characters); "" or null empties it.
void msg_locate_set_dir(short code, const char *dir);
