// A plug-in for the library manager tests. Built three times: with both entries, with
// "dll_init" only and with neither. Each call appends a line to the file named by
// KIV_TEST_PLUGIN_LOG, so the test sees calls even after the library is gone.
#include <cstdio>
#include <cstdlib>

namespace {

[[maybe_unused]] void log_call(const char *what)
{
    if (const char *path = std::getenv("KIV_TEST_PLUGIN_LOG")) {
        if (FILE *f = std::fopen(path, "a")) {
            std::fprintf(f, "%s %s\n", what, KIV_PLUGIN_NAME);
            std::fclose(f);
        }
    }
}

} // namespace

#ifdef KIV_PLUGIN_INIT
extern "C" void dll_init(void *library)
{
    log_call(library ? "init" : "init-without-handle");
}
#endif

#ifdef KIV_PLUGIN_TERM
extern "C" void dll_term()
{
    log_call("term");
}
#endif
