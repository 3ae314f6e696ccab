#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ and runs each for a bounded time on a copy
# of the seed corpus. Usage: fuzz/run.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SELVENOR_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DSELVENOR_BUILD_FUZZ=ON \
  -DSELVENOR_BUILD_TESTS=OFF -DSELVENOR_BUILD_BENCH=OFF >/dev/null
ninja -C "$build" -j2 fuzz_replies fuzz_requests

for target in fuzz_replies fuzz_requests; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  cp -n "$root"/fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
  echo "== $target for ${seconds}s"
  # A single allocation above 32 MB or a process above 1 GB counts as a failure: a length field
  # must never make the decoder allocate more than a frame.
  (cd "$build" && "./bin/$target" -max_total_time="$seconds" -max_len=20000 \
    -malloc_limit_mb=32 -rss_limit_mb=1024 -print_final_stats=1 "$corpus")
done
