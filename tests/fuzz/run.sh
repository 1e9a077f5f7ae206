#!/usr/bin/env bash
# Builds every libFuzzer target with clang in build-fuzz and runs each for a bounded time
# (FUZZ_SECONDS, 20 by default), starting from the seeds the fuzzer writes itself. Fuzzers
# run FUZZ_JOBS at a time (one per core by default); each is single-threaded.
# Fails when any fuzzer finds a crash, a hang or a leak.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-20}
jobs=${FUZZ_JOBS:-$(nproc)}
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -DKIV_FUZZ=ON -DKIV_BUILD_TESTS=ON -DKIV_BUILD_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target fuzzers

mapfile -t fuzzers < <(find "$build/tests/fuzz" -maxdepth 1 -type f -executable -name 'fuzz_*' | sort)
if [ ${#fuzzers[@]} -eq 0 ]; then
  echo "fuzz: no fuzzers were built" >&2
  exit 1
fi

# One fuzzer from its own seeds; leaves its verdict in $build/<name>.status.
fuzz_one() {
  local exe=$1 name corpus artifacts
  name=$(basename "$exe")
  corpus="$build/corpus/$name"
  artifacts="$build/artifacts/$name"
  rm -rf "$corpus" "$build/$name.status"
  mkdir -p "$corpus" "$artifacts"
  KIV_FUZZ_SEED_DIR="$corpus" "$exe" -runs=0 >/dev/null 2>&1
  if "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$artifacts/" "$corpus" 2>"$build/$name.log"; then
    echo ok >"$build/$name.status"
  else
    echo failed >"$build/$name.status"
  fi
}

for exe in "${fuzzers[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    wait -n || true
  done
  fuzz_one "$exe" &
done
wait

failed=()
for exe in "${fuzzers[@]}"; do
  name=$(basename "$exe")
  echo "== $name: $(find "$build/corpus/$name" -type f | wc -l) files in corpus, ${seconds}s =="
  if [ "$(cat "$build/$name.status" 2>/dev/null)" = ok ]; then
    grep -E '^(stat::number_of_executed_units|Done)' "$build/$name.log" || true
  else
    tail -n 40 "$build/$name.log" >&2 || true
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failures in ${failed[*]} (inputs under $build/artifacts)" >&2
  exit 1
fi
echo "fuzz: ${#fuzzers[@]} fuzzers ran clean"
