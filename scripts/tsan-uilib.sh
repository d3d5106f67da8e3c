#!/bin/sh
# Builds the UI library's portable core natively with ThreadSanitizer and runs
# the test in which a painting thread races the tree changes of the UI thread.
# Usage: scripts/tsan-uilib.sh   (build folder: build/native-tsan)
set -eu
cd "$(dirname "$0")/.."
build=build/native-tsan
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKO_BENCH=OFF \
    -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_C_FLAGS=-fsanitize=thread \
    -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
fi
cmake --build "$build" --target uilib_render_race_tests -j2
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "$build/uilib/uilib_render_race_tests" --gtest_brief=1
