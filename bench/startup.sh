#!/usr/bin/env bash
# Makes the start-up benchmark's data sources in its own directory and runs the
# benchmark on them under Xvfb in the X11 Wine prefix (its own wineserver), so that the
# windows paint as on the user's machine. Arguments: directory, benchmark executable, wine.
# QuorvaneStartupSmall: a small database from scripts/gen-db. QuorvaneStartupLarge: the
# small database with the large site's log rows (audit, HIPS and system logs) in place of
# its own, so that only the logs differ. The sites: QuorvaneStartupEmpty (no host, as
# scripts/mkdb makes it), QuorvaneStartupH500 (500 hosts and 100 devices, 100
# strategies, 25,000 log rows), QuorvaneStartupH5000 (5,000 hosts, 1,000 strategies,
# 250,000 log rows) and QuorvaneStartupSite (20,000 hosts and 4,000 devices, 2,000
# strategies, a HIPS filter per host, a million log rows). Beside each site's database,
# service.txt: what the benchmark's service answers, every other host online.
set -euo pipefail
dir=$1 exe=$2 wine=${3:-wine}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/env.sh"
make() {  # name, gen-db arguments (none: an empty site)
  local name=$1
  shift
  mkdir -p "$dir/$name"
  echo "<config><port DSN=\"$name\" Database=\"$name\" SqlName=\"sa\"/></config>" > "$dir/$name/SysServerPort.xml"
  if [ $# -eq 0 ]; then
    python3 "$here/../scripts/mkdb" --config "$dir/$name/SysServerPort.xml" --dir "$dir/$name" --force >/dev/null
  else
    python3 "$here/../scripts/gen-db" --config "$dir/$name/SysServerPort.xml" --dir "$dir/$name" "$@" \
      --force >/dev/null
  fi
}
make QuorvaneStartupSmall --scale 1000
make QuorvaneStartupLarge --scale 1000
make QuorvaneStartupEmpty
make QuorvaneStartupH500 --hosts 500 --strategies 100 --scale 25000
make QuorvaneStartupH5000 --hosts 5000 --strategies 1000 --scale 250000
make QuorvaneStartupSite --hosts 20000 --strategies 2000 --scale 1000000
python3 - "$dir" <<'PY'
import os, sqlite3, sys
root = sys.argv[1]
db = sqlite3.connect(os.path.join(root, "QuorvaneStartupLarge", "QuorvaneStartupLarge.db"), isolation_level=None)
db.execute("attach ? as logs", (os.path.join(root, "QuorvaneStartupSite", "QuorvaneStartupSite.db"),))
db.execute("begin")
for table in ("AuditLog", "HIPSLog", "SystemLog"):
    db.execute("delete from main.%s" % table)
    db.execute("insert into main.%s select * from logs.%s" % (table, table))
db.execute("commit")
for name in ("QuorvaneStartupEmpty", "QuorvaneStartupH500", "QuorvaneStartupH5000", "QuorvaneStartupSite"):
    site = sqlite3.connect(os.path.join(root, name, name + ".db"))
    ips = [row[0] for row in site.execute("select IP from Client order by id")]
    lines = ["# every Client row answered"]
    lines += ["client|%s|%s" % (ip, "online" if i % 2 else "offline") for i, ip in enumerate(ips)]
    with open(os.path.join(root, name, "service.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
PY
# One driver file serves them all; the data sources go together into one file.
cat "$dir"/QuorvaneStartup{Small,Large,Empty,H500,H5000,Site}/odbc.ini > "$dir/odbc.ini"
export ODBCSYSINI=$dir/QuorvaneStartupSmall ODBCINI=$dir/odbc.ini QV_STARTUP_SITES=$dir
qv_on_xvfb $wine "$exe"
