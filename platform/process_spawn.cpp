#include "platform/process_spawn.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
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
