#!/usr/bin/env bash
# Set-up for a fresh Debian 12 machine; safe to run again and again.
#   tools/setup.sh run              install what is missing, build (Release), start Remindo
#   tools/setup.sh test             install what is missing, build, run every test headless
#   tools/setup.sh test --sanitize  the same with AddressSanitizer and UndefinedBehaviorSanitizer
#                                   (the window tests too, offscreen; the desktop tests on Xvfb are
#                                   left to the normal build)
#   tools/setup.sh package          install what is missing and make the Debian package with
#                                   dpkg-buildpackage (debian/), the suite run as dh_auto_test does
#                                   (DEB_BUILD_OPTIONS=nocheck leaves it out):
#                                   build/package/remindo_<version>_<arch>.deb and its -dbgsym
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
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev qt6-translations-l10n
  libpugixml-dev libbenchmark-dev libjpeg-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core xauth
  dbus-daemon libglib2.0-bin desktop-file-utils
  xvfb x11-xkb-utils openbox wmdocker xdotool x11-utils imagemagick at-spi2-core python3-pyatspi
  appstream desktop-file-utils man-db bash-completion ccache
  python3-holidays python3-dateutil faketime
  libical-dev python3-recurring-ical-events python3-icalendar python3-tz khal
  qtkeychain-qt6-dev radicale python3-caldav gnome-keyring libsecret-tools dbus-bin openssl
)
# Only for making the Debian package.
package_packages=(debhelper lintian)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

install_missing() { # install_missing [PACKAGE...]: the list above and these
  local missing=()
  for p in "${packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

jobs=$(nproc 2>/dev/null || echo 2)

# The test build and the package build compile with the same flags, those of
# dpkg-buildflags (hardened), in folders of the same depth, so that the
# compiler cache hands the package build what the test build compiled.
use_package_flags() {
  local f
  for f in CFLAGS CXXFLAGS CPPFLAGS LDFLAGS; do
    export "$f=$(cd "$here" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$f")"
  done
  # As debhelper hands them to CMake, which reads no CPPFLAGS.
  CFLAGS="$CFLAGS $CPPFLAGS"
  CXXFLAGS="$CXXFLAGS $CPPFLAGS"
}
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR=$here CCACHE_NOHASHDIR=1
fi

# Builds under debhelper's locale: the compiler cache counts the locale in
# (it changes the compiler's messages), and debhelper builds the package
# with LC_ALL=C.UTF-8, so any other locale here left the package build
# nothing to take from the cache.
build() { # build <dir> <cmake options...>
  local dir=$1; shift
  LC_ALL=C.UTF-8 cmake -S "$here" -B "$dir" -G Ninja "$@" >/dev/null
  LC_ALL=C.UTF-8 cmake --build "$dir" -j "$jobs"
}

case "$mode" in
  run)
    install_missing
    build "$here/build/release" -DCMAKE_BUILD_TYPE=Release -DREMINDO_BENCH=OFF
    exec "$here/build/release/src/shell/remindo"
    ;;
  package)
    install_missing "${package_packages[@]}"
    out=$here/build/package
    rm -rf "$out"
    mkdir -p "$out"
    cd "$here"
    # The packages, .buildinfo and .changes go to build/package rather than
    # the folder above the sources.
    changes=$(dpkg-parsechangelog -S Source)_$(dpkg-parsechangelog -S Version)_$(dpkg-architecture -qDEB_HOST_ARCH)
    REMINDO_DEB_DESTDIR=$out REMINDO_CMAKE_OPTIONS="${CI:+-DREMINDO_WERROR=ON}" \
      dpkg-buildpackage -us -uc -b -j"$jobs" \
        --buildinfo-option=-u"$out" --buildinfo-file="$out/$changes.buildinfo" \
        --changes-option=-u"$out" --changes-file="$out/$changes.changes"
    ls -l "$out"/*.deb
    ;;
  test)
    install_missing
    if [ $sanitize -eq 1 ]; then
      build "$here/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DREMINDO_SANITIZE=ON -DREMINDO_BENCH=OFF \
        ${CI:+-DREMINDO_WERROR=ON}
      cd "$here/build/sanitize"
      # The window tests run too, on Qt's offscreen platform like every test;
      # the desktop tests (e2e) wait on a real X server's timing and run in
      # the normal build.
      ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$here/tests/lsan.supp:print_suppressions=0 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --output-on-failure -j "$jobs" -LE e2e
    else
      use_package_flags
      build "$here/build/test" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CI:+-DREMINDO_WERROR=ON}
      cd "$here/build/test"
      ctest --output-on-failure -j "$jobs"
    fi
    ;;
  *)
    sed -n '2,10p' "$0" >&2
    exit 2
    ;;
esac
