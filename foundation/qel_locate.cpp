#include <kivctrl/qel_locate.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_pathname.h>

#include <array>
#include <mutex>
#include <string>

namespace {

using PathBuffer = std::array<char, QEL_PATH_MAX>;

// Enough for a user to retry in a dialog; bounded so an automatic listener that keeps
// answering one bad path cannot loop forever.
constexpr int max_asks = 16;

void copy_bounded(char *out, const char *text)
{
    std::size_t i = 0;
    for (; text && text[i] && i + 1 < QEL_PATH_MAX; ++i)
        out[i] = text[i];
    out[i] = '\0';
}

struct SearchDirs {
    std::mutex lock;
    PathBuffer files{};   // 801, 802
    PathBuffer images{};  // 804, 805, 806
};

SearchDirs &search_dirs()
{
    static SearchDirs dirs;
    return dirs;
}

char *dir_of_kind(SearchDirs &d, short code)
{
    switch (code) {
    case MSG_LOCATE_PART:
    case MSG_LOCATE_ASSEMBLY:
        return d.files.data();
    case MSG_LOCATE_TEXTURE:
    case MSG_LOCATE_BACKDROP:
    case MSG_LOCATE_NOTE:
        return d.images.data();
    default:
        return nullptr;
    }
}

bool try_nonempty(const std::function<bool(const char *)> &try_path, const char *path)
{
    return path[0] && try_path(path);
}

// Asks the listeners until one answers a path that works (left in `found`).
bool ask(const char *name, short code, const char *context,
         const std::function<bool(const char *)> &try_path, PathBuffer &found)
{
    for (int asks = 0; asks < max_asks; ++asks) {
        PathBuffer sought;
        copy_bounded(sought.data(), name);
        found[0] = '\0';
        QEL_LOCATE_REQUEST request{sought.data(), found.data(), context, 0, 0, QEL_PATH_MAX, 0};
        msg_send(code, &request, 0);
        found.back() = '\0';  // a listener may have filled the buffer to the brim
        if (!found[0])
            return false;
        if (try_path(found.data()))
            return true;
    }
    return false;
}

}  // namespace

int msg_locate_get_dir(short code, char *out)
{
    SearchDirs &d = search_dirs();
    std::lock_guard guard(d.lock);
    const char *dir = dir_of_kind(d, code);
    if (!dir || !out)
        return 0;
    copy_bounded(out, dir);
    return 1;
}

void msg_locate_set_dir(short code, const char *dir)
{
    SearchDirs &d = search_dirs();
    std::lock_guard guard(d.lock);
    if (char *slot = dir_of_kind(d, code))
        copy_bounded(slot, dir);
}

int msg_locate(char *name, short code, const char *context,
               const std::function<bool(const char *path)> &try_path)
{
    PathBuffer dir;
    if (!name || !try_path || !msg_locate_get_dir(code, dir.data()))
        return 0;

    PathBuffer found;
    bool ok = false;
    if (dir[0]) {
        ok = try_nonempty(try_path, pathname_join(found.data(), name, dir.data(), nullptr));
        if (!ok)
            ok = try_nonempty(try_path, pathname_set(found.data(), name, nullptr, dir.data(), nullptr));
    }
    if (!ok)
        ok = ask(name, code, context, try_path, found);
    if (!ok)
        return 0;

    pathname_get_dir(found.data(), dir.data());
    msg_locate_set_dir(code, dir.data());
    copy_bounded(name, found.data());
    return 1;
}
