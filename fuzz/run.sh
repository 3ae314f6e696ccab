#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ and runs each for a bounded time on a copy
# of the seed corpus, one after the other.
# Usage: fuzz/run.sh [SECONDS_PER_TARGET [TARGET...]]   (default 60 s, every target)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SELVENOR_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_replies fuzz_requests fuzz_journal)

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DSELVENOR_BUILD_FUZZ=ON \
  -DSELVENOR_BUILD_TESTS=OFF -DSELVENOR_BUILD_BENCH=OFF >/dev/null
ninja -C "$build" -j2 "${targets[@]}"

for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  cp -n "$root"/fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
  echo "== $target for ${seconds}s"
  # A single allocation above 32 MB or a process above 2 GB counts as a failure (the leak check at
  # the end of a long run needs more than 1 GB under AddressSanitizer): a length field
  # must never make a reader allocate more than its input calls for.
  (cd "$build" && "./bin/$target" -max_total_time="$seconds" -max_len=20000 \
    -malloc_limit_mb=32 -rss_limit_mb=2048 -print_final_stats=1 "$corpus")
done
