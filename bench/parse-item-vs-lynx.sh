#!/bin/sh
# Times one whole `gavelind parse-item` run against `lynx -dump` on the same item page of
# about 100 KB, side by side: what a page read costs as a separate process, start-up included.
# Usage: bench/parse-item-vs-lynx.sh [BUILD_DIR] [PAGE.html] [RUNS]
# Without a page, one is taken from the practice site (BUILD_DIR must hold it) and its
# description is padded to about 100 KB.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$top/build"}
page=${2:-}
runs=${3:-20}
gavelind="$build/src/gavelind"
command -v lynx >/dev/null || { echo "lynx is not installed (apt-get install lynx)" >&2; exit 1; }
[ -x "$gavelind" ] || { echo "no $gavelind: build first" >&2; exit 1; }

work=$(mktemp -d)
site_pid=""
cleanup() {
  [ -n "$site_pid" ] && kill "$site_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

export GAVELIN_HOME="$work/home"
mkdir -p "$GAVELIN_HOME/config"
if [ -z "$page" ]; then
  site="$build/tools/practice-site/gavelin-practice-site"
  [ -x "$site" ] || { echo "no $site: build with -DGAVELIN_PRACTICE_SITE=ON or give a page" >&2; exit 1; }
  "$site" --port 0 >"$work/site.out" 2>/dev/null &
  site_pid=$!
  port=""
  for _ in $(seq 50); do
    port=$(sed -n 's/^port=//p' "$work/site.out" 2>/dev/null | head -n 1)
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || { echo "the practice site did not start" >&2; exit 1; }
  "$site" --print-profile --port "$port" --ini >"$GAVELIN_HOME/config/machine.ini"
  /usr/bin/python3 - "$port" "$work/page.html" <<'PY'
import sys, urllib.request
port, out = sys.argv[1], sys.argv[2]
html = urllib.request.urlopen(
    f"http://127.0.0.1:{port}/ws/eBayISAPI.dll?ViewItem&item=3000000001").read()
filler = b"<p>A practice listing with a <b>long</b> description, as sellers write them.<br>" \
         b"Shipping worldwide &amp; insurance optional.</p>\n"
at = html.find(b'<div class="description">') + len(b'<div class="description">')
while len(html) < 100 * 1024:
    html = html[:at] + filler + html[at:]
open(out, "wb").write(html)
PY
  page="$work/page.html"
fi
"$gavelind" settings set Options currentSite www.ebay.com >/dev/null

# Milliseconds for RUNS runs of the command, divided by RUNS.
time_runs() {
  start=$(date +%s%N)
  i=0
  while [ "$i" -lt "$runs" ]; do
    "$@" >/dev/null 2>&1 || true
    i=$((i + 1))
  done
  end=$(date +%s%N)
  echo $(((end - start) / runs / 1000000))
}

bytes=$(wc -c <"$page")
"$gavelind" parse-item "$page" >"$work/result.json" || true
grep -q '"success": true' "$work/result.json" || echo "note: the page did not parse (see $page)" >&2
printf 'page: %s bytes, %s runs each\n' "$bytes" "$runs"
printf '%-36s %6s ms per page\n' "gavelind parse-item (fields)" "$(time_runs "$gavelind" parse-item "$page")"
printf '%-36s %6s ms per page\n' "gavelind parse-item --body-text" "$(time_runs "$gavelind" parse-item --body-text "$page")"
printf '%-36s %6s ms per page\n' "lynx -dump" "$(time_runs lynx -dump -force_html "$page")"
