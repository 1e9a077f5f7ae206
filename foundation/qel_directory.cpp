#include <kivctrl/qel_list.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/qel_process.h>
#include <kivctrl/qel_string.h>

#include "foundation/pathname_parts.h"
#include "platform/dir_list.h"
#include "platform/local_path.h"

#include <memory>
#include <string>
#include <vector>

// Owns the copied names; the sorted list orders them, the iterator walks them.
struct QEL_DIRECTORY {
    std::vector<std::unique_ptr<char[]>> storage;
    SRTDLIST names{[](void *a, void *b) { return qel_stricmp(static_cast<char *>(a), static_cast<char *>(b)); }};
    SRTDLIST_ITER iter{names};
    bool finished = false; // the iterator would start over after the last name
};

QEL_DIRECTORY *qel_diropen(const char *dir, const char *pattern)
{
    const std::string full = kiv::path::join(pattern ? pattern : "*.*", dir, nullptr);
    const kiv::path::Parts parts = kiv::path::decompose(full.c_str());
    // A pattern right under the root has an empty directory part.
    const std::string where = !parts.has_dir ? std::string(".")
                              : parts.dir.empty() ? std::string(1, '/')
                                                  : std::string(parts.dir);
    const std::string glob(kiv::path::file_part(full.c_str()));
    const std::vector<std::string> found =
        kiv::platform::list_directory(kiv::platform::resolve_local_path(where), glob);
    if (found.empty())
        return nullptr;
    auto d = std::make_unique<QEL_DIRECTORY>();
    for (const std::string &name : found) {
        auto copy = std::make_unique<char[]>(name.size() + 1);
        qel_strcpy(copy.get(), name.c_str());
        if (!d->names.add(copy.get()))
            return nullptr;
        d->storage.push_back(std::move(copy));
    }
    return d.release();
}

char *qel_dirnext(QEL_DIRECTORY *d)
{
    if (!d || d->finished)
        return nullptr;
    if (d->iter.next())
        return static_cast<char *>(d->iter.getdata());
    d->finished = true;
    return nullptr;
}

void qel_dirclose(QEL_DIRECTORY *d)
{
    delete d;
}
