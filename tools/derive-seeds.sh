#!/usr/bin/env bash
# Rebuilds the derived seed files in data/ (Svatek, TelefSvt, Spzzem, TelefCR, Cas)
# from their packages. Psc.tsv is typed by hand and left alone.
#   tools/derive-seeds.sh [SCRATCH]   SCRATCH: a folder outside the repository for npm
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
scratch=${1:-$(mktemp -d)}
mkdir -p "$scratch"

for p in iso-codes tzdata libphonenumber-dev libgeocoding8 g++; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
    || { echo "missing Debian package: $p (apt-get install $p)" >&2; exit 1; }
done

command -v npm >/dev/null || { echo "npm is needed (Debian package npm)" >&2; exit 1; }

cd "$scratch"
[ -f package.json ] || npm init -y >/dev/null
npm install --no-audit --no-fund namedays-cs@1.0.7 countries-list@3.4.1 >/dev/null
g++ -std=c++17 -O1 "$here/tools/derive/geocode_cz.cpp" -o geocode_cz \
  -lgeocoding -lphonenumber -licuuc -lprotobuf
./geocode_cz > geocode.txt
python3 "$here/tools/derive_seeds.py" --npm node_modules --geocode geocode.txt --out "$here/data"
