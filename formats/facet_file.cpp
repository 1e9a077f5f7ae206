// Opening facet files.
#include "formats/facet_file.h"

#include "platform/local_path.h"

namespace kiv::formats {

FilePtr open_facet_file(const std::string &path)
{
    return FilePtr(std::fopen(kiv::platform::resolve_local_path(path).c_str(), "rb"));
}

}  // namespace kiv::formats
