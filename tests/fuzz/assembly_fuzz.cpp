// The assembly reader on arbitrary bytes, in the text form (the input as it is) or the
// compressed form (the input behind the compressed header, its sizes taken from the first
// eight bytes): whatever it reads must end, bounded, and leave an assembly that deletes
// cleanly.
#include <kivctrl/kivctrl.h>

#include "fuzz/seeds.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

const char *kFile = "MEM:fuzz.kvasf";

std::string framed(const std::string &text)
{
#if KIV_FUZZ_COMPRESSED
    auto le = [](std::uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                           static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
    };
    // A stored body: the text size one less than the stored size.
    return le(static_cast<std::uint32_t>(text.size())) +
           le(static_cast<std::uint32_t>(text.size() + 1)) + text + " ";
#else
    return text;
#endif
}

kiv::fuzz::Seeds seeds()
{
    const std::string assembly =
        "; seed\nENVIRONMENT ( BACKGROUND ( 0.1, 0.2, 0.3 ) UNITS ( 2 )\n"
        "PRESET ( NAME ( side ) LOCATION ( 1, 2, 3 ) ORIENTATION ( 0, 0, 90 ) )\n"
        "LIGHT ( NAME ( sun ) LOCATION ( 0, 0, 50 ) ) VIEWPOINT ( NAME ( v ) VIEWANGLE ( 30 ) )\n"
        "GROUP ( NAME ( \"a ^\"group^\"\" ) LOCATION ( 10, 0, 0 ) ORIENTATION ( 0, 0, 90 )\n"
        "  OBJECT ( NAME ( p ) FILEINFO ( p.kvg, \"KIV Part\", x, 1 ) SOURCEINFO ( s.stl )\n"
        "    COLOR ( 1, 0, 0 ) CONSTRAIN ( 1, 0, 0, 0, 0, 1 ) GEOMETRY ( CONE, 1, 2, 12 )\n"
        "    FACE ( NAME ( f ) FACEINFO ( 1, 0 ) ) PROP ( k, v, OFF, l ) ) )\n"
        "CUSTOMCOLORS ( ( 1, 0, 0 ) ( 0, 1, 0 ) ) UNKNOWN ( a ( b ) \"c)\" )\n"
        "TASKLIST ( BEHAVIOR ( x, 1, 1, 2 ) ) PUBLISHDATA ( PUB_TITLE ( t ) ) )\n";
    const std::string paths =
        "ENVIRONMENT ( PATH ( NAME ( p ) PATH_ID ( 3 ) INSTRUCTION ( i ) INSTRUCTION_N ( n )\n"
        "  NODES ( ( 0, 0, 0 ) ( 0, 0, 90 ) ( 1, 2, 3 ) ( 0, 0, 0 ) ) PATH_STEPS ( 1, 5, 0 ) )\n"
        "PATH ( NAME ( q ) FRAMES ( KEYFRAME ( FRAME_POS ( 1, 1, 1 ) FRAME_TEXTUREANGLE ( 9 ) )\n"
        "  KEYFRAME ( FRAME_GENGEOM ( BOX, 1, 2, 3 ) FRAME_NOTELINK ( l ) ) )\n"
        "  WIZDEF ( WIZ_DIST ( 1, 2, 3 ) WIZ_FADE ( 1 ) ) )\n"
        "OBJECT ( NAME ( a ) PATH ( p ) OBJPATH ( w ( q ) ) BOOKMARK_LIST ( BOOKMARK (\n"
        "  BOOKMARK_NAME ( b ) BOOKMARK_MASK ( 101 ) FRAME_COLOR ( 1, 0, 0 ) ) ) )\n"
        "PATHLIST ( ( a, p ) ( START ) ( a, q, 1 ) ( END ) ) ANIMATIONLIST ( w ( a, q, 4, 1 ) )\n"
        "AUTOPLAY ( 1 ) )\n";
    return {framed(assembly), framed(paths), framed("ENVIRONMENT ( GROUP ( GROUP ( OBJECT ( NAME ( x"),
            framed("ENVIRONMENT ( COLOR ) 1, 0 ) ) ( ENVIRONMENT ( ")};
}
KIV_FUZZ_SEEDS(seeds);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool quiet = [] {
        env_set_threading(false);
        return true;
    }();
    (void)quiet;
    {
        std::unique_ptr<QelFileWriter> w(QelCreateWriterInstance(kFile, QEL_STREAM_BINARY));
#if KIV_FUZZ_COMPRESSED
        w->writeb("KVASF V1.2\n", 11);
#endif
        w->writeb(reinterpret_cast<const char *>(data), size);
    }
    if (loader_invoke("KIV Assembly", nullptr, nullptr, kFile, nullptr, nullptr) == 1)
        db_delete_assembly();
    assy_set_state(ASSY_STATE_NONE);
    return 0;
}
