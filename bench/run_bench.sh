#!/bin/sh
# The benchmark script under the name the build and CI scripts call; see
# run_bench.py for the options (--smoke, --stations, --runs, --keep, ...).
exec python3 "$(dirname "$0")/run_bench.py" "$@"
