#!/usr/bin/env bash
# check_install.sh BUILD_DIR CONSUMER_DIR SCRATCH_DIR CXX
set -euo pipefail
build=$1 consumer=$2 scratch=$3 cxx=$4
rm -rf "$scratch"
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

# Sanitized builds need the same runtime in the consumer.
flags=()
if grep -q 'KIV_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  flags=(-fsanitize=address,undefined)
fi

export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
# shellcheck disable=SC2046
"$cxx" -std=c++20 "${flags[@]}" "$consumer/main.cpp" -o "$scratch/with_pkgconfig" \
  $(pkg-config --cflags --libs kivctrl)
LD_LIBRARY_PATH=$prefix/lib "$scratch/with_pkgconfig"

cmake -S "$consumer" -B "$scratch/consumer-build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_CXX_FLAGS="${flags[*]:-}" >/dev/null
cmake --build "$scratch/consumer-build" >/dev/null
LD_LIBRARY_PATH=$prefix/lib "$scratch/consumer-build/consumer"
# The installed tool renders the sample assembly, finding the engine and its plug-ins alone.
samples=$(cd "$consumer/../../../samples" && pwd)
env -u LD_LIBRARY_PATH "$prefix/bin/kivrender" --size 64x48 -o "$scratch/bearing_block.png" \
  "$samples/bearing_block.kvasf" >/dev/null
test -s "$scratch/bearing_block.png"
echo "installed package works through pkg-config and CMake; kivrender renders the sample"
