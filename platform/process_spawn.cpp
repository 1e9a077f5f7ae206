#include "platform/process_spawn.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <thread>

extern char **environ;

namespace kiv::platform {

pid_t spawn_program(const std::vector<std::string> &argv)
{
    if (argv.empty() || argv.front().empty())
        return -1;
    std::vector<char *> args;
    args.reserve(argv.size() + 1);
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0)
        return -1;
    return pid;
}

bool is_program_on_path(const std::string &name)
{
    const char *path = std::getenv("PATH");
    if (name.empty() || name.find('/') != std::string::npos || !path)
        return false;
    std::string_view dirs(path);
    while (true) {
        const std::size_t colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        const std::string file = (dir.empty() ? std::string(".") : dir) + "/" + name;
        struct stat st;
        if (::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(file.c_str(), X_OK) == 0)
            return true;
        if (colon == std::string_view::npos)
            return false;
        dirs.remove_prefix(colon + 1);
    }
}

pid_t spawn_opener(const std::string &target)
{
    return spawn_program({"xdg-open", target});
}

void wait_for_process(pid_t pid)
{
    if (pid <= 0)
        return;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

void reap_when_done(pid_t pid)
{
    if (pid > 0)
        std::thread([pid] { wait_for_process(pid); }).detach();
}

} // namespace kiv::platform
