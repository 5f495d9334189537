# Shared by the two commands: installs what a fresh Debian 12 machine lacks and builds.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

PACKAGES=(
  cmake ninja-build g++ pkg-config clang-format
  libgtest-dev libgmock-dev libbenchmark-dev libxdamage-dev
  libgtkmm-4.0-dev libwebkitgtk-6.0-dev libadwaita-1-dev libsecret-1-dev
  nlohmann-json3-dev libpam0g-dev nettle-dev libpsl-dev publicsuffix
  xvfb xauth dbus gnome-keyring libpam-wrapper imagemagick xdotool python3 openbox
  webext-ublock-origin-firefox hunspell-en-us hunspell-tr
  desktop-file-utils clang libclang-rt-14-dev libglib2.0-dev-bin locales
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() {
  local missing=()
  for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
      || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}

# build DIR [cmake options...]
build() {
  local dir=$1
  shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j"$JOBS"
}

# require_known_labels DIR REGEX: fails when a test of the tree carries no label the test command
# runs, so a new kind of test can't be skipped without anybody noticing.
require_known_labels() {
  local dir=$1 labels=$2 all known
  all=$(ctest --test-dir "$dir" -N | sed -n 's/^Total Tests: //p')
  known=$(ctest --test-dir "$dir" -N -L "^($labels)\$" | sed -n 's/^Total Tests: //p')
  if [ "$all" != "$known" ]; then
    echo "error: $((all - known)) of $all tests in $dir carry none of the labels $labels" >&2
    ctest --test-dir "$dir" -N -LE "^($labels)\$" >&2
    exit 1
  fi
}
