#!/usr/bin/env bash
# Set-up for a fresh Debian 12 machine; safe to run again and again.
#   tools/setup.sh run              install what is missing, build (Release), start Remindo
#   tools/setup.sh test             install what is missing, build, run every test headless
#   tools/setup.sh test --sanitize  the same with AddressSanitizer and UndefinedBehaviorSanitizer
#                                   (the slow window tests are left out there)
#   tools/setup.sh package          install what is missing, build for /usr (Release) and make the
#                                   Debian package build/package/remindo_<version>_<arch>.deb
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-}
shift || true
sanitize=0
for a in "$@"; do
  case "$a" in
    --sanitize) sanitize=1 ;;
    *) echo "unknown option: $a" >&2; exit 2 ;;
  esac
done

packages=(
  build-essential cmake pkg-config ninja-build
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev
  libpugixml-dev libbenchmark-dev libjpeg-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core xauth
  dbus-daemon libglib2.0-bin desktop-file-utils
  xvfb openbox wmdocker xdotool x11-utils imagemagick
  python3-holidays python3-dateutil
  libical-dev python3-recurring-ical-events python3-icalendar python3-tz khal
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

jobs=$(nproc 2>/dev/null || echo 2)

build() { # build <dir> <cmake options...>
  local dir=$1; shift
  cmake -S "$here" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

case "$mode" in
  run)
    install_missing
    build "$here/build/release" -DCMAKE_BUILD_TYPE=Release -DREMINDO_BENCH=OFF
    exec "$here/build/release/src/shell/remindo"
    ;;
  package)
    install_missing
    build "$here/build/package" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DREMINDO_BENCH=OFF
    cd "$here/build/package"
    cpack -G DEB
    ;;
  test)
    install_missing
    if [ $sanitize -eq 1 ]; then
      build "$here/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DREMINDO_SANITIZE=ON -DREMINDO_BENCH=OFF \
        ${CI:+-DREMINDO_WERROR=ON}
      cd "$here/build/sanitize"
      ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --output-on-failure -j "$jobs" -LE gui
    else
      build "$here/build/test" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CI:+-DREMINDO_WERROR=ON}
      cd "$here/build/test"
      ctest --output-on-failure -j "$jobs"
    fi
    ;;
  *)
    sed -n '2,8p' "$0" >&2
    exit 2
    ;;
esac
