// The text form of facet lists, shared by STL ("solid ... endsolid") and Pro/E render files
// (SLP, which add "color" records and several normals per facet).
//
// The text is a sequence of words and numbers; characters that begin neither are skipped,
// except control characters, which make the input something other than text. Every solid of
// the file goes into one object; facets take the current colour and hand their normals to
// their vertices in turn. The input is refused, with a reason, when it is not built of
// complete solids and facets or when a number is malformed or out of range.
#pragma once

#include "formats/facet_mesh.h"

#include <memory>
#include <string>
#include <string_view>

namespace kiv::formats {

enum class FacetDialect {
    slp,  // a facet is a polygon of three or more vertices
    stl,  // a facet is a triangle
};

struct FacetRead {
    GSobjectPtr object;  // null when the input was refused
    std::string error;   // why it was refused
    bool unopenable = false;
};

class FacetTextParser;

// Reads one text input handed over in pieces, each ending at white space or at the end of
// the input, so that no word or number is cut.
class FacetTextReader {
public:
    explicit FacetTextReader(FacetDialect dialect);
    ~FacetTextReader();
    FacetTextReader(const FacetTextReader &) = delete;
    FacetTextReader &operator=(const FacetTextReader &) = delete;

    // False once the input has been refused; later pieces are ignored.
    bool feed(std::string_view piece);
    // The object when the input held at least one complete solid and nothing wrong.
    FacetRead finish();

private:
    std::unique_ptr<FacetTextParser> parser_;
};

FacetRead read_facet_text(std::string_view text, FacetDialect dialect);
// Reads a file piece by piece (pieces of about chunk bytes).
FacetRead read_facet_text_file(const std::string &path, FacetDialect dialect,
                               size_t chunk = size_t{1} << 20);

// Whether a file looks like a text facet list: the word "solid" comes before the end and
// before any control character, and the last two bytes are not both zero (as the attribute
// bytes ending a binary STL file normally are).
bool facet_text_legal(const std::string &path);

}  // namespace kiv::formats
