// UTF-8 <-> UTF-16 conversion of qel_wide/qel_narrow against glibc's iconv, on mixed text
// (ASCII, Latin, CJK and emoji) of 64 KiB.
#include <kivctrl/qel_string.h>

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>
#include <vector>

namespace {

std::string mixed_text()
{
    const std::string piece = "part \"Bolt M6\" caf\xc3\xa9 \xe4\xb8\xad\xe6\x96\x87 \xf0\x9f\x94\xa9 ";
    std::string s;
    while (s.size() < 64 * 1024)
        s += piece;
    return s;
}

std::size_t iconv_all(const char *to, const char *from, const char *in, std::size_t in_size, char *out,
                      std::size_t out_size)
{
    iconv_t cd = iconv_open(to, from);
    char *src = const_cast<char *>(in);
    char *dst = out;
    std::size_t left = out_size;
    iconv(cd, &src, &in_size, &dst, &left);
    iconv_close(cd);
    return out_size - left;
}

void BM_Wide_qel(benchmark::State &state)
{
    const std::string s = mixed_text();
    std::vector<unsigned short> w(s.size() + 1);
    for (auto _ : state) {
        qel_wide(w.data(), s.c_str());
        benchmark::DoNotOptimize(w.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.size()));
}

void BM_Wide_iconv(benchmark::State &state)
{
    const std::string s = mixed_text();
    std::vector<char> w(2 * s.size() + 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(iconv_all("UTF-16LE", "UTF-8", s.data(), s.size(), w.data(), w.size()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.size()));
}

void BM_Narrow_qel(benchmark::State &state)
{
    const std::string s = mixed_text();
    std::vector<unsigned short> w(s.size() + 1);
    qel_wide(w.data(), s.c_str());
    std::vector<char> n(3 * w.size() + 1);
    for (auto _ : state) {
        qel_narrow(n.data(), w.data());
        benchmark::DoNotOptimize(n.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.size()));
}

void BM_Narrow_iconv(benchmark::State &state)
{
    const std::string s = mixed_text();
    std::vector<unsigned short> w(s.size() + 1);
    qel_wide(w.data(), s.c_str());
    const std::size_t wide_bytes = 2 * static_cast<std::size_t>(qel_strlen(w.data()));
    std::vector<char> n(3 * w.size() + 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(iconv_all("UTF-8", "UTF-16LE", reinterpret_cast<const char *>(w.data()),
                                           wide_bytes, n.data(), n.size()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.size()));
}

} // namespace

BENCHMARK(BM_Wide_qel);
BENCHMARK(BM_Wide_iconv);
BENCHMARK(BM_Narrow_qel);
BENCHMARK(BM_Narrow_iconv);
