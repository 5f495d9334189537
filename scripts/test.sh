#!/usr/bin/env bash
# Builds and runs the whole test suite: the model and platform unit tests under AddressSanitizer
# and UndefinedBehaviorSanitizer, then the display, keyring and PAM tests of a release build
# under a virtual display with a private D-Bus session and Secret Service, and last a short run of
# every fuzz target.
source "$(dirname "$0")/lib/common.sh"
install_missing_packages

echo "== Unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
build "$ROOT/build/asan" -DCMAKE_BUILD_TYPE=Debug -DZEMBLO_SANITIZE=ON -DZEMBLO_GUI_TESTS=OFF \
  -DZEMBLO_BUILD_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$ROOT/tests/support/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
require_known_labels "$ROOT/build/asan" unit
ctest --test-dir "$ROOT/build/asan" -L unit --output-on-failure -j"$JOBS"
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS

echo "== Display, keyring and PAM tests"
build "$ROOT/build/release" -DCMAKE_BUILD_TYPE=Release -DZEMBLO_GUI_TESTS=ON
require_known_labels "$ROOT/build/release" "unit|gui"
dbus-run-session -- "$ROOT/scripts/lib/test-session.sh" \
  ctest --test-dir "$ROOT/build/release" -L "^gui$" --output-on-failure -j"$JOBS"

echo "== Fuzz targets (ten seconds each)"
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$ROOT/build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZEMBLO_FUZZ=ON -DZEMBLO_BUILD_TESTS=OFF -DZEMBLO_BUILD_BENCH=OFF >/dev/null
cmake --build "$ROOT/build/fuzz" --target fuzz-targets -j"$JOBS"
ctest --test-dir "$ROOT/build/fuzz" -L fuzz --output-on-failure -j"$JOBS"
