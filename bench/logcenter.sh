#!/usr/bin/env bash
# Makes the log-center benchmark's data source in its own directory (bench/logcenter-data)
# and runs the benchmark on it. Arguments: directory, benchmark executable, wine.
set -euo pipefail
dir=$1 exe=$2 wine=${3:-wine}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$dir"
cat > "$dir/SysServerPort.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<config>
  <port DSN="QuorvaneLogBench" Database="QuorvaneLogBench" Description="日志中心基准" IP="127.0.0.1" SqlName="sa" SqlPass="x"/>
</config>
XML
python3 "$here/logcenter-data" --config "$dir/SysServerPort.xml" --dir "$dir"
export ODBCSYSINI=$dir ODBCINI=$dir/odbc.ini QV_BENCH_DSN=QuorvaneLogBench
exec $wine "$exe"
