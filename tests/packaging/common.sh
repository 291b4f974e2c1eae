# Shared by the installation and package tests: the file set an installation
# must have, and a first start of the installed program on a fresh home folder.
# Sourced with these set: SOURCE (the repository), APP_ID, PROGRAMS and
# ICON_SIZES (lists separated by ';').

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Every file below PREFIX (usr), relative to it, sorted.
installed_files() {
  (cd "$1" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
}

# The files an installation must have and nothing else.
expected_files() {
  {
    local program size
    for program in ${PROGRAMS//;/ }; do echo "bin/$program"; done
    echo "share/applications/$APP_ID.desktop"
    echo "share/metainfo/$APP_ID.metainfo.xml"
    echo "share/doc/pelmir/copyright"
    echo "share/icons/hicolor/scalable/apps/$APP_ID.svg"
    for size in ${ICON_SIZES//;/ }; do echo "share/icons/hicolor/${size}x${size}/apps/$APP_ID.png"; done
    (cd "$SOURCE/data" && find . -type f | sed 's|^\./|share/pelmir/data/|')
    if [ -d "$SOURCE/help" ]; then
      (cd "$SOURCE/help" && find . -type f | sed 's|^\./|share/pelmir/help/|')
    fi
  } | LC_ALL=C sort
}

# check_file_set PREFIX: the installed files are exactly the expected ones,
# the seed files are the repository's, the pictures have their sizes, the
# menu entry and the metainfo pass the desktop's validators.
check_file_set() {
  local prefix=$1
  diff -u <(expected_files) <(installed_files "$prefix") || fail "the installed files differ from the expected set (- expected, + installed)"
  diff -r "$SOURCE/data" "$prefix/share/pelmir/data" || fail "the installed seed files differ from data/"
  local program size
  for program in ${PROGRAMS//;/ }; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
  done
  for size in ${ICON_SIZES//;/ }; do
    file -b "$prefix/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png" | grep -q "PNG image data, $size x $size," ||
      fail "the ${size}x${size} icon is not a PNG of that size"
  done
  desktop-file-validate "$prefix/share/applications/$APP_ID.desktop" || fail "desktop-file-validate"
  grep -qx "Name=Pelmir a telefony" "$prefix/share/applications/$APP_ID.desktop" || fail "the menu entry's name"
  grep -qx "Categories=Office;ContactManagement;Calendar;" "$prefix/share/applications/$APP_ID.desktop" || fail "the menu entry's categories"
  appstreamcli validate --no-net "$prefix/share/metainfo/$APP_ID.metainfo.xml" || fail "appstreamcli validate"
  local licence
  for licence in "$SOURCE"/data/licences/*; do
    grep -qF "data/licences/$(basename "$licence")" "$prefix/share/doc/pelmir/copyright" ||
      fail "the copyright file lacks $(basename "$licence")"
  done
}

# check_first_start PREFIX MAKE_DATADIR SCRATCH: the installed program, started
# without --workdir on a fresh home folder, builds ~/.local/share/pelmir from
# the installed seed files as make-datadir does, with the autostart entry
# starting the installed program, and writes nothing into the installation.
check_first_start() {
  local prefix=$1 make_datadir=$2 scratch=$3
  local home=$scratch/home
  local workdir=$home/.local/share/pelmir
  mkdir -p "$home" "$scratch/runtime"
  chmod 700 "$scratch/runtime"
  touch "$scratch/before-start"
  sleep 1 # file times have a coarse grain on some file systems
  (
    cd "$home"
    exec env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$scratch/runtime" \
      QT_QPA_PLATFORM=offscreen PULSE_SERVER=unix:/nonexistent/pelmir-test/native LANG=C.UTF-8 \
      "$prefix/bin/pelmir" >"$scratch/program.log" 2>&1
  ) &
  local pid=$! waited=0
  # The lock file appears once the directory is ready and the program took it.
  until [ -f "$workdir/Data/pelmir.lock" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
      cat "$scratch/program.log" >&2
      fail "the program ended before it took its working directory"
    fi
    ((waited++ < 600)) || { kill "$pid"; fail "no working directory after 60 s"; }
    sleep 0.1
  done
  sleep 2 # the program keeps starting (the windows, the splash)
  kill -0 "$pid" 2>/dev/null || { cat "$scratch/program.log" >&2; fail "the program ended after it started"; }
  kill "$pid"
  wait "$pid" || true

  "$make_datadir" --seeds "$prefix/share/pelmir/data" --out "$scratch/reference" --program "$prefix/bin/pelmir" >/dev/null ||
    fail "make-datadir"
  # The running program adds its own files (settings, the lock); none of make-datadir's may lack.
  local missing
  missing=$(LC_ALL=C comm -23 <(cd "$scratch/reference" && find . | LC_ALL=C sort) \
    <(cd "$workdir" && find . | LC_ALL=C sort))
  [ -z "$missing" ] || fail "the first start did not build what make-datadir builds: $missing"
  diff -u <(sed "s|$scratch/reference|WORKDIR|g" "$scratch/reference/Pelmir.desktop") \
    <(sed "s|$workdir|WORKDIR|g" "$workdir/Pelmir.desktop") || fail "the autostart entry differs from make-datadir's"
  grep -q "^Exec=\"$prefix/bin/pelmir\" --workdir" "$workdir/Pelmir.desktop" || fail "the autostart entry does not start the installed program"
  local written
  written=$(find "$prefix" -newer "$scratch/before-start")
  [ -z "$written" ] || fail "the program wrote into the installation: $written"
}
