#!/usr/bin/env bash
# Builds and runs the whole test suite: the platform, model and tool unit tests under
# AddressSanitizer and UndefinedBehaviorSanitizer; then every test of a release build (the views'
# unit tests and the display, keyring and PAM tests) under a virtual display with a private
# D-Bus session and Secret Service; and last a short run of every fuzz target.
source "$(dirname "$0")/lib/common.sh"
install_missing_packages

# Each stage's heading tells how long the command has run.
stage() { echo "== $* (${SECONDS} s in)"; }
# A stage whose tests fail does not keep the later stages from running; the command fails at the
# end, naming them. A build that fails stops it at once.
failed=()
tests_of() {
  local name=$1
  shift
  "$@" || failed+=("$name")
}

stage "Platform, model and tool unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
# Only what these tests need is built here: the views are tested in the release tree.
SANITIZED_TESTS=(platform_tests model_tests tools_tests)
cmake -S "$ROOT" -B "$ROOT/build/asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZEMBLO_SANITIZE=ON \
  -DZEMBLO_GUI_TESTS=OFF -DZEMBLO_BUILD_BENCH=OFF >/dev/null
cmake --build "$ROOT/build/asan" -j"$JOBS" --target "${SANITIZED_TESTS[@]}"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$ROOT/tests/support/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Each case is a test of its own, named "<program>.<suite>.<case>"; a selection that finds
# nothing fails rather than passing empty.
tests_of sanitized ctest --test-dir "$ROOT/build/asan" -R "^($(IFS='|'; echo "${SANITIZED_TESTS[*]}"))\." \
  --no-tests=error --output-on-failure -j"$JOBS"
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS

stage "Every test of a release build: unit, display, keyring and PAM"
# The benchmarks are built, not run: a change of an interface they call must not leave them behind.
build "$ROOT/build/release" -DCMAKE_BUILD_TYPE=Release -DZEMBLO_GUI_TESTS=ON -DZEMBLO_BUILD_BENCH=ON
require_known_labels "$ROOT/build/release" "unit|gui"
tests_of release "$ROOT/scripts/lib/test-session.sh" \
  ctest --test-dir "$ROOT/build/release" -L "^(unit|gui)$" --no-tests=error --output-on-failure -j"$JOBS"

stage "Fuzz targets (ten seconds each)"
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$ROOT/build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZEMBLO_FUZZ=ON -DZEMBLO_BUILD_TESTS=OFF -DZEMBLO_BUILD_BENCH=OFF >/dev/null
cmake --build "$ROOT/build/fuzz" --target fuzz-targets -j"$JOBS"
tests_of fuzz ctest --test-dir "$ROOT/build/fuzz" -L fuzz --no-tests=error --output-on-failure -j"$JOBS"
if [ ${#failed[@]} -gt 0 ]; then
  stage "Failed: ${failed[*]}"
  exit 1
fi
stage "Done"
