#!/usr/bin/env bash
# Makes the start-up benchmark's three data sources in its own directory and runs the
# benchmark on them. Arguments: directory, benchmark executable, wine.
# QuorvaneStartupSmall: a small database from scripts/gen-db. QuorvaneStartupSite: a
# large site, gen-db's database of a million log rows (500 hosts and 100 devices, 250
# strategies on 630 rows, 500 HIPS filters). QuorvaneStartupLarge: the small
# database with the large site's log rows (audit, HIPS and system logs) in place of its
# own, so that only the logs differ.
set -euo pipefail
dir=$1 exe=$2 wine=${3:-wine}
here=$(cd "$(dirname "$0")" && pwd)
for name in QuorvaneStartupSmall QuorvaneStartupLarge QuorvaneStartupSite; do
  scale=1000
  [ $name = QuorvaneStartupSite ] && scale=1000000
  mkdir -p "$dir/$name"
  echo "<config><port DSN=\"$name\" Database=\"$name\" SqlName=\"sa\"/></config>" > "$dir/$name/SysServerPort.xml"
  python3 "$here/../scripts/gen-db" --config "$dir/$name/SysServerPort.xml" --dir "$dir/$name" --scale $scale \
    --force >/dev/null
done
python3 - "$dir/QuorvaneStartupLarge/QuorvaneStartupLarge.db" "$dir/QuorvaneStartupSite/QuorvaneStartupSite.db" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1], isolation_level=None)
db.execute("attach ? as logs", (sys.argv[2],))
db.execute("begin")
for table in ("AuditLog", "HIPSLog", "SystemLog"):
    db.execute("delete from main.%s" % table)
    db.execute("insert into main.%s select * from logs.%s" % (table, table))
db.execute("commit")
PY
# One driver file serves them all; the data sources go together into one file.
cat "$dir"/QuorvaneStartup{Small,Large,Site}/odbc.ini > "$dir/odbc.ini"
export ODBCSYSINI=$dir/QuorvaneStartupSmall ODBCINI=$dir/odbc.ini
exec $wine "$exe"
