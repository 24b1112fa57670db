#!/bin/sh
# Builds the libFuzzer targets with clang++ and runs each one for a bounded
# time, one after the other. Fails on the first crash, leak, hang, memory
# blow-up or sanitizer report.
#
# Usage: fuzz/run_fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET [TARGET...]]
#   BUILD_DIR   build folder for the clang build (created if missing)
#   SECONDS     time per target, default 60
#   TARGET      free_form, station_list, record, pipeline, realtime, hydat (default:
#               all; hydat only when SQLite was found)
# Environment: CXX (default clang++), JOBS (build jobs, default 2).
#
# Each target starts from a copy of fuzz/corpus/<target> in a scratch
# folder, so nothing is ever written into the source tree. The inputs that
# failed are kept in BUILD_DIR/fuzz-artifacts/<target>/.

set -eu

if [ $# -lt 1 ]; then
  sed -n '6,11p' "$0" >&2
  exit 2
fi

build_dir=$1
seconds=${2:-60}
[ $# -ge 2 ] && shift 2 || shift $#
targets=${*:-}

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
cxx=${CXX:-clang++}
jobs=${JOBS:-2}

case $seconds in
  '' | *[!0-9]*) echo "run_fuzzers: SECONDS must be a whole number" >&2; exit 2 ;;
esac
if ! command -v "$cxx" >/dev/null 2>&1; then
  echo "run_fuzzers: $cxx not found (needs clang and its libFuzzer runtime)" >&2
  exit 2
fi

cmake -S "$source_dir" -B "$build_dir" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGAUMO_FUZZ=ON -DGAUMO_WERROR=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build_dir" -j "$jobs" --target fuzzers

build_dir=$(cd "$build_dir" && pwd)
if [ -z "$targets" ]; then
  targets="free_form station_list record pipeline realtime"
  # The database reader's target is built only where SQLite was found.
  [ -x "$build_dir/fuzz/hydat_fuzzer" ] && targets="$targets hydat"
fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/gaumo-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT INT TERM

summary=""
status=0
for target in $targets; do
  binary="$build_dir/fuzz/${target}_fuzzer"
  seeds="$here/corpus/$target"
  if [ ! -x "$binary" ] || [ ! -d "$seeds" ]; then
    echo "run_fuzzers: unknown target $target" >&2
    exit 2
  fi
  work="$scratch/$target"
  artifacts="$build_dir/fuzz-artifacts/$target"
  mkdir -p "$work/corpus" "$artifacts"
  cp "$seeds"/* "$work/corpus/"
  log="$work/log.txt"

  echo "== $target: ${seconds}s"
  rc=0
  # -timeout: a single input that runs this long counts as a hang.
  "$binary" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "$work/corpus" >"$log" 2>&1 || rc=$?

  # With -fno-sanitize-recover every report ends the run with a non-zero
  # status; the log is searched as well in case a report slipped through.
  if [ "$rc" -eq 0 ] && grep -qE '^==[0-9]+==ERROR|runtime error:|^SUMMARY: ' "$log"; then
    rc=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  if [ "$rc" -eq 0 ]; then
    result=ok
  else
    result="FAILED (status $rc)"
    status=1
    tail -n 60 "$log" >&2
    cp "$log" "$artifacts/log.txt"
    echo "run_fuzzers: $target failed; inputs and log in $artifacts" >&2
  fi
  echo "   ${runs:-?} runs in ${took:-?} s: $result"
  summary="$summary$target ${runs:-?} ${took:-?} $result
"
done

echo
echo "target executions seconds result"
printf '%s' "$summary"
exit $status
