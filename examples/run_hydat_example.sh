#!/bin/sh
# The example again, straight from the archive: the station list comes from
# `gaumo stations` and the historical daily flows from the bundled HYDAT
# database (no <id>_Daily_Flow_ts.csv is copied). Only the provisional file
# and the answers are taken from this folder. Nothing is written into the
# source tree: the working folder is <scratch>/work.
#   examples/run_hydat_example.sh [path/to/gaumo] [scratch folder]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
exe=$(cd "$(dirname "${1:-build/gaumo}")" && pwd)/$(basename "${1:-build/gaumo}")
scratch=${2:-${TMPDIR:-/tmp}/gaumo-hydat-example}
db=$here/tinyhydat.sqlite3
rm -rf "$scratch"
mkdir -p "$scratch/work"
cp "$here"/Flow_05AA008.csv "$here"/answers.txt "$scratch/work/"
cd "$scratch/work"
"$exe" stations --hydat "$db" 05AA008 05HD008 08MF005 08NE102 08NM083 \
  > flow_stations.tb0
"$exe" --hydat "$db" < answers.txt
echo
echo "Outputs: $scratch/work (listings, reports, Gaumo_info.txt) and $scratch (yearly tb0 files):"
ls -l "$scratch" "$scratch/work"
