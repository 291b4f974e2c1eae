#!/usr/bin/env bash
# The long crash soak: a process saving records is killed with SIGKILL
# 1000 times (or the count given) and the table is checked after every kill.
#   tools/soak.sh [kills]
# PELMIR_CRASH_SEED=<n> repeats a run that failed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${PELMIR_SOAK_BUILD:-$here/build-rel}
kills=${1:-1000}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELMIR_GUI=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target store_crash_test
PELMIR_CRASH_KILLS=$kills "$build/tests/store/store_crash_test" --gtest_filter='CrashTest.*'
