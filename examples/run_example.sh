#!/bin/sh
# Runs gaumo on the bundled example data in a scratch copy, so that nothing
# is written into the source tree: the working folder is <scratch>/work and
# the yearly tb0 files land in <scratch>.
#   examples/run_example.sh [path/to/gaumo] [scratch folder]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
exe=$(cd "$(dirname "${1:-build/gaumo}")" && pwd)/$(basename "${1:-build/gaumo}")
scratch=${2:-${TMPDIR:-/tmp}/gaumo-example}
rm -rf "$scratch"
mkdir -p "$scratch/work"
cp "$here"/flow_stations.tb0 "$here"/*.csv "$here"/answers.txt "$scratch/work/"
cd "$scratch/work"
"$exe" < answers.txt
echo
echo "Outputs: $scratch/work (listings, reports, Gaumo_info.txt) and $scratch (yearly tb0 files):"
ls -l "$scratch" "$scratch/work"
