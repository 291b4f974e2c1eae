#!/usr/bin/env bash
# install_test.sh BUILD SOURCE APP_ID PROGRAMS ICON_SIZES
# `cmake --install` into a temporary prefix gives exactly the expected files,
# and the installed program starts on a fresh home folder.
set -euo pipefail
BUILD=$1 SOURCE=$2 APP_ID=$3 PROGRAMS=$4 ICON_SIZES=$5
. "$(dirname "$0")/common.sh"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/pelmir-install-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

cmake --install "$BUILD" --prefix "$scratch/usr" >"$scratch/install.log" || { cat "$scratch/install.log"; fail "cmake --install"; }
check_file_set "$scratch/usr"
check_first_start "$scratch/usr" "$BUILD/tools/make-datadir" "$scratch"
echo "installed files:"
installed_files "$scratch/usr"
