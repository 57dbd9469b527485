#!/usr/bin/env bash
# Runs scripts/mkdb on a SysServerPort.xml of its own and fills the database with
# scripts/gen-db, then the suite's MkdbDataSource tests against the data source mkdb
# wrote, judged as every suite is (tests/support/run-suite.sh). Arguments: work dir,
# run-suite.sh, test executable, wine.
set -euo pipefail
dir=$1 run=$2 exe=$3 wine=${4:-wine}
rm -rf "$dir" && mkdir -p "$dir"
cat > "$dir/SysServerPort.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<config>
  <other DSN="NotThisOne"/>
  <port DSN="QuorvaneMkdbCheck" Database="QuorvaneCheck" Description="完整性监测数据库" IP="127.0.0.1" SqlName="sa" SqlPass="secret"/>
</config>
XML
# A blank, a quote and a dollar in the path: what mkdb prints must survive eval.
db="$dir/db it's \$HOME"
eval "$(python3 "$QV_SOURCE_DIR/scripts/mkdb" --config "$dir/SysServerPort.xml" --dir "$db" --force)"
[ -f "$db/QuorvaneCheck.db" ] || { echo "mkdb_check: no database file" >&2; exit 1; }
[ "$ODBCINI" = "$db/odbc.ini" ] || { echo "mkdb_check: ODBCINI is $ODBCINI" >&2; exit 1; }
python3 "$QV_SOURCE_DIR/scripts/gen-db" --db "$db/QuorvaneCheck.db" --scale 3000
export QV_MKDB_DSN=QuorvaneMkdbCheck
exec bash "$run" $wine "$exe" --gtest_filter='MkdbDataSource.*'
