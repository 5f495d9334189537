#!/usr/bin/env bash
# Builds the browser (installing what is missing) and starts it.
source "$(dirname "$0")/lib/common.sh"
install_missing_packages
build "$ROOT/build/app" -DCMAKE_BUILD_TYPE=Release -DZEMBLO_BUILD_TESTS=OFF -DZEMBLO_BUILD_BENCH=OFF
exec "$ROOT/build/app/src/zemblo-browser" "$@"
