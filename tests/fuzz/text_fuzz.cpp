// Arbitrary bytes through the text utilities: UTF-8/UTF-16 conversion (lengths within the
// documented bounds, valid text round-trips), token quoting (every text reads back as it
// was), token reading into a buffer of an input-chosen size, every path function into
// exactly QEL_PATH_MAX bytes of heap, and the scanners.
#include <kivctrl/kivctrl.h>

#include "fuzz/seeds.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

kiv::fuzz::Seeds seeds()
{
    return {"plain", "caf\xc3\xa9 \xf0\x9f\x98\x80", "\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80", "\"a^x41z^1017^\"\"",
            "C:\\asm\\parts\\Bolt.KVG", "/home/u/asm/../x.kvg", "1.5, -2e3 ,7 )", std::string("nul\0in", 6)};
}
KIV_FUZZ_SEEDS(seeds);

void conversions(const std::string &s)
{
    std::vector<unsigned short> wide(s.size() + 1);
    qel_wide(wide.data(), s.c_str());
    const int units = qel_strlen(wide.data());
    check(units <= qel_strlen(s.c_str()));
    std::vector<char> narrow(3 * static_cast<std::size_t>(units) + 1);
    qel_narrow(narrow.data(), wide.data());
    // Once converted, text is well formed and survives further round trips unchanged.
    std::vector<unsigned short> again(narrow.size());
    qel_wide(again.data(), narrow.data());
    check(qel_strcmp(again.data(), wide.data()) == 0);
    // Well-formed input (no replacement character came out) is reproduced byte for byte.
    if (std::find(wide.begin(), wide.begin() + units, 0xFFFD) == wide.begin() + units)
        check(std::strcmp(narrow.data(), s.c_str()) == 0);
    auto in_place = std::make_unique<unsigned short[]>(wide.size());
    std::memcpy(in_place.get(), wide.data(), wide.size() * sizeof(unsigned short));
    qel_narrow(in_place.get());
}

void tokens(const std::string &s, int size)
{
    const int len = static_cast<int>(s.size());
    if (len > 0) {
        const int needed = qel_quotestring(nullptr, 0, s.data(), len);
        std::vector<char> quoted(static_cast<std::size_t>(needed));
        check(qel_quotestring(quoted.data(), needed, s.data(), len) == needed);
        std::vector<char> back(s.size() + 1);
        const char *rest = nullptr;
        check(qel_unquotestring(back.data(), static_cast<int>(back.size()), &rest, "()", quoted.data(), 0) == len + 1);
        check(std::memcmp(back.data(), s.data(), s.size()) == 0 && rest == nullptr);
    }
    auto out = std::make_unique<char[]>(static_cast<std::size_t>(size));
    const char *rest = nullptr;
    const int n = qel_unquotestring(out.get(), size, &rest, "(),", s.c_str(), 0);
    check(n >= 1 && (!rest || (rest >= s.c_str() && rest < s.c_str() + s.size())));
}

void paths(const std::string &s)
{
    const char *p = s.c_str();
    const std::size_t half = s.size() / 2;
    const std::string a = s.substr(0, half), b = s.substr(half);
    auto out = std::make_unique<char[]>(QEL_PATH_MAX);
    auto more = std::make_unique<char[]>(QEL_PATH_MAX);
    auto ext = std::make_unique<char[]>(QEL_PATH_MAX);
    pathname_get_dir(p, out.get());
    pathname_get_file(p, out.get());
    pathname_get_simple(p, out.get());
    pathname_get_ext(p, out.get());
    pathname_check_ext(p, b.c_str());
    int has_dir = 0, has_ext = 0;
    pathname_get(p, out.get(), more.get(), &has_dir, ext.get(), &has_ext);
    pathname_set(out.get(), a.c_str(), b.c_str(), a.c_str(), b.c_str());
    pathname_join(out.get(), a.c_str(), b.c_str(), a.c_str());
    pathname_add_ext(out.get(), a.c_str(), b.c_str());
    const char *ra = nullptr, *rb = nullptr;
    const int common = pathname_diff_dir(a.c_str(), b.c_str(), out.get(), &ra, &rb);
    check(common >= 0 && static_cast<std::size_t>(common) <= a.size() && ra >= a.c_str() &&
          ra <= a.c_str() + a.size() && rb >= b.c_str() && rb <= b.c_str() + b.size());
}

void scanners(const std::string &s)
{
    float x, y, z;
    int i;
    char found;
    const char *p = s.c_str();
    for (const char *end : {scan_float(p, &x), scan_int(p, &i), scan_delimiter(p, ",()", &found),
                            scan_3floats(p, &x, &y, &z)})
        check(!end || (end >= p && end <= p + s.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int buffer = 1 + data[0] % 64;
    const std::string s(reinterpret_cast<const char *>(data) + 1, size - 1);
    conversions(s);
    tokens(s, buffer);
    paths(s);
    scanners(s);
    return 0;
}
