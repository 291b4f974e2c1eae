#!/usr/bin/env bash
# deb_test.sh BUILD SOURCE APP_ID PROGRAMS ICON_SIZES
# `cpack -G DEB` builds the package; its control fields name the libraries the
# programs link and what they load at run time, it holds exactly the installed
# file set, and the program unpacked from it starts on a fresh home folder.
set -euo pipefail
BUILD=$1 SOURCE=$2 APP_ID=$3 PROGRAMS=$4 ICON_SIZES=$5
. "$(dirname "$0")/common.sh"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/pelmir-deb-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; fail "cpack"; }
packages=("$scratch"/out/pelmir_*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || fail "cpack made no single pelmir_*.deb: ${packages[*]}"
deb=${packages[0]}

dpkg-deb --info "$deb" | tee "$scratch/info"
field() { sed -n "s/^ $1: //p" "$scratch/info"; }
[ "$(field Package)" = pelmir ] || fail "package name"
depends=$(field Depends)
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libsqlite3-0 libicu libpulse0 \
  libstdc++6 libc6 qt6-qpa-plugins qt6-translations-l10n fonts-liberation2 fonts-dejavu-core; do
  grep -q "\b$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
grep -q "Osobní diář pro českou domácnost" "$scratch/info" || fail "the Czech description"
grep -q "A personal information manager for Czech households" "$scratch/info" || fail "the English description"

echo "contents of $(basename "$deb"):"
dpkg-deb --contents "$deb"
dpkg-deb -x "$deb" "$scratch/root"
check_file_set "$scratch/root/usr"
for program in ${PROGRAMS//;/ }; do
  file -b "$scratch/root/usr/bin/$program" | grep -q ", stripped" || fail "bin/$program is not stripped"
done
check_first_start "$scratch/root/usr" "$BUILD/tools/make-datadir" "$scratch"
