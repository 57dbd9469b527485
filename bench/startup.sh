#!/usr/bin/env bash
# Makes the start-up benchmark's two data sources in its own directory and runs the
# benchmark on them. Arguments: directory, benchmark executable, wine.
# QuorvaneStartupSmall: a small database from scripts/gen-db. QuorvaneStartupLarge: the
# same database with the million log rows (audit, HIPS and system logs) of a gen-db
# database of that scale in place of its own, so that only the logs differ.
set -euo pipefail
dir=$1 exe=$2 wine=${3:-wine}
here=$(cd "$(dirname "$0")" && pwd)
for name in QuorvaneStartupSmall QuorvaneStartupLarge; do
  mkdir -p "$dir/$name"
  echo "<config><port DSN=\"$name\" Database=\"$name\" SqlName=\"sa\"/></config>" > "$dir/$name/SysServerPort.xml"
  python3 "$here/../scripts/gen-db" --config "$dir/$name/SysServerPort.xml" --dir "$dir/$name" --scale 1000 \
    --force >/dev/null
done
rm -f "$dir/logs.db"
python3 "$here/../scripts/gen-db" --db "$dir/logs.db" --scale 1000000 2>/dev/null
python3 - "$dir/QuorvaneStartupLarge/QuorvaneStartupLarge.db" "$dir/logs.db" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1], isolation_level=None)
db.execute("attach ? as logs", (sys.argv[2],))
db.execute("begin")
for table in ("AuditLog", "HIPSLog", "SystemLog"):
    db.execute("delete from main.%s" % table)
    db.execute("insert into main.%s select * from logs.%s" % (table, table))
db.execute("commit")
PY
rm -f "$dir/logs.db"
# One driver file serves both; the data sources go together into one file.
cat "$dir"/QuorvaneStartup{Small,Large}/odbc.ini > "$dir/odbc.ini"
export ODBCSYSINI=$dir/QuorvaneStartupSmall ODBCINI=$dir/odbc.ini
exec $wine "$exe"
