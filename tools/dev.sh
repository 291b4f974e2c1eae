#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and builds the program.
#   tools/dev.sh run   - install what is missing, build, provision ./run and start the program there
#   tools/dev.sh test  - install what is missing, build with -Werror and run every test headless
#   tools/dev.sh sanitize - the store and parser tests under AddressSanitizer + UBSan
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
mode=${1:-test}
jobs=$(nproc)

packages=(build-essential cmake pkg-config git
  qt6-base-dev libqt6test6 libqt6opengl6-dev libgl-dev
  libsqlite3-dev libicu-dev libcanberra-dev libpulse-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fonts-dejavu-core poppler-utils
  iso-codes tzdata
  qt6-translations-l10n arj pulseaudio pulseaudio-utils
  qt6-svg-dev file desktop-file-utils appstream pxlib-dev
  libxtst-dev libxdamage-dev
  qtkeychain-qt6-dev libical-dev radicale xandikos vdirsyncer khard khal)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# configure_build DIR [cmake options...] [-- targets...]
configure_build() {
  local dir=$1; shift
  local options=() targets=()
  while (($#)); do
    if [ "$1" = "--" ]; then shift; targets=("$@"); break; fi
    options+=("$1"); shift
  done
  # A compiler cache, where the machine has one, makes rebuilds of other checkouts cheap.
  if command -v ccache >/dev/null; then options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
  if ((${#targets[@]})); then
    cmake --build "$dir" -j "$jobs" --target "${targets[@]}"
  else
    cmake --build "$dir" -j "$jobs"
  fi
}

case "$mode" in
  run)
    install_missing
    # Only what starting needs: the tests are built by the test command.
    configure_build build -- pelmir pelmir-restore make-datadir
    workdir=${PELMIR_WORKDIR:-$here/run}
    if [ ! -d "$workdir/Data" ]; then
      ./build/tools/make-datadir --seeds data --out "$workdir" --program "$here/build/app/pelmir"
    else
      # A working directory from an older build gets what it lacks (entry, pictures).
      ./build/tools/make-datadir --add-missing --out "$workdir" --program "$here/build/app/pelmir"
    fi
    exec ./build/app/pelmir --workdir "$workdir"
    ;;
  test)
    install_missing
    configure_build build-ci -DPELMIR_WERROR=ON
    cd build-ci
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs"
    ;;
  sanitize)
    install_missing
    configure_build build-asan -DPELMIR_SANITIZE=ON -DPELMIR_GUI=OFF -DPELMIR_BENCH=OFF
    cd build-asan
    ctest --output-on-failure -j "$jobs"
    ;;
  *)
    echo "usage: $0 run|test|sanitize" >&2
    exit 2
    ;;
esac
