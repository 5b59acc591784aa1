#!/usr/bin/env bash
# Builds everything and runs the whole test suite twice: plain, then with
# address and undefined-behaviour sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/check-layers.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

# gold links the hundred test programs in half the time of the default linker.
link=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold)

echo "== the generated sources with CMake's default generator"
# Packagers and many users build with Make: the generated sources (the search
# layer's pinyin table) must not rely on Ninja making their folders. The
# libraries themselves are built by both passes below.
cmake -S "$root" -B "$root/build-default" -DCLANBOOK_GUI=OFF -DCLANBOOK_TESTS=OFF >/dev/null
cmake --build "$root/build-default" -j "$jobs" --target clanbook_search >/dev/null

echo "== plain build"
"$root/scripts/build.sh" build -DCLANBOOK_TESTS=ON "${link[@]}"
(cd "$root/build" && ctest --output-on-failure -j "$jobs")

echo "== package"
"$root/scripts/check-package.sh" build

echo "== sanitized build"
# Line tables are all a sanitizer's report needs, at a tenth less compiling.
"$root/scripts/build.sh" build-asan -DCLANBOOK_TESTS=ON -DCLANBOOK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1 "${link[@]}"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The million-member tests ran in the plain pass; under the sanitizers they
# would take most of the run.
(cd "$root/build-asan" && ctest --output-on-failure -j "$jobs" -LE slow)
