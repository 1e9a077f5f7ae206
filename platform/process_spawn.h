// Starting programs and documents: the shell execution of the design is posix_spawnp here,
// with xdg-open for documents and URLs.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace kiv::platform {

// Starts argv[0] (searched on PATH) with the arguments; the process id, or -1 when it could
// not be started.
pid_t spawn_program(const std::vector<std::string> &argv);

// Whether name (without a '/') is an executable file in a directory of PATH.
bool is_program_on_path(const std::string &name);

// Opens a document or URL with the desktop's default application (xdg-open).
pid_t spawn_opener(const std::string &target);

// Waits, without limit, until the process ends.
void wait_for_process(pid_t pid);

// Collects the process when it ends, on a background thread, so it never lingers as a zombie.
void reap_when_done(pid_t pid);

} // namespace kiv::platform
