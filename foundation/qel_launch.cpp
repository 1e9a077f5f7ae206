#include <kivctrl/qel_process.h>
#include <kivctrl/qel_string.h>

#include "foundation/utf.h"
#include "platform/local_path.h"
#include "platform/process_spawn.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

std::string narrow(const unsigned short *s)
{
    const auto units = static_cast<std::size_t>(qel_strlen(s));
    std::string out(3 * units, '\0');
    out.resize(kiv::utf16_to_utf8(s, units, out.data()));
    return out;
}

// Local names are resolved; URLs and other schemes pass unchanged.
std::string target_of(const char *file)
{
    const std::string text = file;
    if (text.find("://") != std::string::npos)
        return text;
    const std::string local = kiv::platform::resolve_local_path(text);
    return ::access(local.c_str(), F_OK) == 0 ? local : text;
}

bool is_executable_file(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// Command-line parameters split at whitespace; double quotes group and are removed.
std::vector<std::string> split_parameters(const char *params)
{
    std::vector<std::string> out;
    if (!params)
        return out;
    std::string word;
    bool in_word = false, quoted = false;
    for (const char *p = params; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            in_word = true;
        } else if (!quoted && qel_isspace(*p)) {
            if (in_word)
                out.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word += *p;
            in_word = true;
        }
    }
    if (in_word)
        out.push_back(word);
    return out;
}

pid_t start(const char *file, const char *parameters)
{
    if (!file || !*file)
        return -1;
    const std::string target = target_of(file);
    const bool on_path = kiv::platform::is_program_on_path(target) && ::access(target.c_str(), F_OK) != 0;
    if (on_path || is_executable_file(target)) {
        std::vector<std::string> argv{on_path || target.find('/') != std::string::npos ? target : "./" + target};
        for (std::string &p : split_parameters(parameters))
            argv.push_back(std::move(p));
        return kiv::platform::spawn_program(argv);
    }
    return kiv::platform::spawn_opener(target);
}

int launch(const char *file, const char *parameters)
{
    const pid_t pid = start(file, parameters);
    kiv::platform::reap_when_done(pid);
    return pid > 0 ? 1 : 0;
}

int launch_and_wait(const char *url)
{
    const pid_t pid = start(url, nullptr);
    kiv::platform::wait_for_process(pid);
    return pid > 0 ? 1 : 0;
}

} // namespace

int qel_launchApp(const char *file, const char *parameters) { return launch(file, parameters); }

int qel_launchApp(const unsigned short *file, const unsigned short *parameters)
{
    if (!file)
        return 0;
    const std::string params = narrow(parameters);
    return launch(narrow(file).c_str(), parameters ? params.c_str() : nullptr);
}

int qel_browseURL(const char *url) { return launch(url, nullptr); }

int qel_browseURL(const unsigned short *url)
{
    return url ? launch(narrow(url).c_str(), nullptr) : 0;
}

int qel_browseURL_and_wait(const char *url) { return launch_and_wait(url); }

int qel_browseURL_and_wait(const unsigned short *url)
{
    return url ? launch_and_wait(narrow(url).c_str()) : 0;
}
