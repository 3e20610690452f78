#!/usr/bin/env bash
# Fuzzes one parser with libFuzzer:
#
#   scripts/fuzz.sh TARGET [libFuzzer options]     e.g. scripts/fuzz.sh png -runs=10000000
#   scripts/fuzz.sh --list                         the targets
#
# Builds the fuzzing build (build-fuzz/: clang, AddressSanitizer,
# UndefinedBehaviorSanitizer and the leak checker, with coverage) from the art
# and music of build/ (./test.sh or scripts/setup.sh makes it), then runs
# fuzz_TARGET under nice -n 19 on the seeds in tests/fuzz/corpus/TARGET. The
# inputs it finds go to build-fuzz/corpus/TARGET; an input that breaks the
# target is written to build-fuzz/findings/TARGET/ and stops the run. Once it
# is mended, copy it into tests/fuzz/corpus/TARGET so the test suite keeps
# replaying it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${LUMIVANE_BUILD:-$root/build}
fuzz_build=${LUMIVANE_FUZZ_BUILD:-$root/build-fuzz}
targets=$(sed -n 's/^set(LUMIVANE_FUZZ_TARGETS \(.*\))$/\1/p' "$root/tests/fuzz/CMakeLists.txt")

if [ $# -lt 1 ] || [ "$1" = "--list" ] || [ "$1" = "-h" ] || [ "$1" = "--help" ]; then
  echo "usage: scripts/fuzz.sh TARGET [libFuzzer options]"
  echo "targets: $targets"
  [ $# -ge 1 ] && [ "$1" = "--list" ]
  exit
fi
target=$1
shift
if ! grep -qw -- "$target" <<<"$targets"; then
  echo "fuzz.sh: no target '$target' (targets: $targets)" >&2
  exit 2
fi
if [ ! -d "$build/generated" ]; then
  echo "fuzz.sh: $build/generated is missing; build the show first (./test.sh)" >&2
  exit 1
fi

cmake -S "$root" -B "$fuzz_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DLUMIVANE_SANITIZE=ON -DLUMIVANE_FUZZ=ON -DLUMIVANE_BENCHMARKS=OFF -DLUMIVANE_PREBUILT="$build" >/dev/null
nice -n 19 cmake --build "$fuzz_build" -j"$(nproc)" --target "fuzz_$target"

# The show's own files that are seeds of a target as well.
extra=()
case $target in
  fx_file) extra=("$root/Data/Shaders") ;;
  laser_text) extra=("$root/laser.txt") ;;
  scroller_text) extra=("$root/scroller.txt") ;;
  manifest) extra=("$root/Data/resources.manifest") ;;
esac
work="$fuzz_build/corpus/$target"
findings="$fuzz_build/findings/$target"
mkdir -p "$work" "$findings"
# A seed directory of single files is not accepted, so files are copied in.
for seed in "${extra[@]}"; do
  if [ -d "$seed" ]; then cp -n "$seed"/* "$work"/; else cp -n "$seed" "$work"/; fi
done
cd "$fuzz_build"
exec nice -n 19 "$fuzz_build/tests/fuzz/fuzz_$target" -artifact_prefix="$findings/" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$@" "$work" "$root/tests/fuzz/corpus/$target"
