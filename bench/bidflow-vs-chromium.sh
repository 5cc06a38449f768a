#!/bin/bash
# Gavelin's bid flow and the same flow in Debian's headless chromium, against one practice
# site on loopback, for 1 and 10 bids at once; prints time per flow, peak memory and the
# ratio side by side. Builds nothing: build the targets gavelin-practice-site and
# bench_bidflow first (GAVELIN_BENCH=ON, GAVELIN_PRACTICE_SITE=ON), install chromium
# (apt-get install chromium) and run "npm ci" in bench/chromium-bidflow.
#
# Usage: bench/bidflow-vs-chromium.sh [--build DIR] [--rounds N]
#   --build   build folder (default: build-bench beside bench/)
#   --rounds  rounds of each count, every round with fresh auctions (default 5)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build="$(dirname "$here")/build-bench"
rounds=5
while [ $# -gt 0 ]; do
    case "$1" in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--rounds N]" >&2; exit 2 ;;
    esac
done

site="$build/tools/practice-site/gavelin-practice-site"
gavelin="$build/bench/bench_bidflow"
missing=0
for program in "$site" "$gavelin"; do
    if [ ! -x "$program" ]; then
        echo "missing $program: build gavelin-practice-site and bench_bidflow in $build" \
            "(this script builds nothing)" >&2
        missing=1
    fi
done
if ! command -v node > /dev/null; then
    echo "node not found: the chromium side needs Node.js and npm" >&2
    missing=1
fi
if [ ! -x /usr/bin/chromium ]; then
    echo "/usr/bin/chromium not found: apt-get install chromium" >&2
    missing=1
fi
if [ ! -d "$here/chromium-bidflow/node_modules/puppeteer-core" ]; then
    echo "puppeteer-core is not installed: (cd $here/chromium-bidflow && npm ci)" >&2
    missing=1
fi
[ "$missing" -eq 0 ] || exit 3

work=$(mktemp -d)
site_pid=
cleanup() {
    if [ -n "$site_pid" ]; then
        kill "$site_pid" 2> /dev/null || true
        wait "$site_pid" 2> /dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

"$site" --port 0 > "$work/site.out" 2> "$work/site.err" &
site_pid=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/^port=\([0-9]*\).*/\1/p' "$work/site.out" | head -n 1)
    [ -n "$port" ] && break
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "the practice site did not start:" >&2
    cat "$work/site.err" >&2
    exit 1
fi

# The machine's count of connections dropped because a listen queue was full: the site's
# queue is short, and each drop costs the client a second before it tries again.
overflows() {
    awk '/^TcpExt:/ { if (!n) { for (i = 1; i <= NF; ++i) col[$i] = i; n = 1 } else print $col["ListenOverflows"] }' \
        /proc/net/netstat
}

echo "practice site on 127.0.0.1:$port; $rounds rounds per count; load: $(cut -d' ' -f1-3 /proc/loadavg)"
status=0
for bids in 1 10; do
    echo "running $bids bid(s) at once: Gavelin..."
    before=$(overflows)
    "$gavelin" --flow-only --port "$port" --bids "$bids" --rounds "$rounds" \
        > "$work/gavelin-$bids.json" || status=1
    echo $(($(overflows) - before)) > "$work/gavelin-$bids.overflows"
    echo "running $bids bid(s) at once: chromium..."
    before=$(overflows)
    node "$here/chromium-bidflow/bidflow.js" --port "$port" --bids "$bids" --rounds "$rounds" \
        > "$work/chromium-$bids.json" || status=1
    echo $(($(overflows) - before)) > "$work/chromium-$bids.overflows"
done
echo "load afterwards: $(cut -d' ' -f1-3 /proc/loadavg)"
echo

/usr/bin/python3 - "$work" << 'EOF'
import json, os, sys

work = sys.argv[1]
def load(side, bids):
    path = os.path.join(work, f"{side}-{bids}.json")
    try:
        with open(path) as f:
            result = json.loads(f.read().strip().splitlines()[-1])
        with open(os.path.join(work, f"{side}-{bids}.overflows")) as f:
            result["overflows"] = int(f.read().strip() or 0)
        return result
    except (OSError, ValueError, IndexError):
        return None

rows = [
    ("time per flow, mean (ms)", lambda r: r["flow_ms"]["mean"], "time"),
    ("time per flow, median (ms)", lambda r: r["flow_ms"]["median"], "time"),
    ("time per flow, max (ms)", lambda r: r["flow_ms"]["max"], "time"),
    ("start to confirmation, mean (ms)", lambda r: r["confirm_ms"]["mean"], "time"),
    ("all flows of a round done (ms)", lambda r: r["batch_ms"]["mean"], "time"),
    ("peak memory, RSS (MiB)", lambda r: r["peak_rss_kb"] / 1024, "memory"),
    ("peak memory, PSS (MiB)", lambda r: r["peak_pss_kb"] / 1024, "memory"),
    ("memory before the flows, RSS (MiB)", lambda r: r["rss_before_kb"] / 1024, "memory"),
    ("peak RSS less that before (MiB)",
     lambda r: (r["peak_rss_kb"] - r["rss_before_kb"]) / 1024, "memory"),
    ("processes", lambda r: str(r["processes"]), None),
    ("flows measured / failed", lambda r: f'{r["flows"]} / {r["failures"]}', None),
    ("listen queue overflows (1 s each)", lambda r: str(r["overflows"]), None),
]
print(f'{"bids":>4}  {"figure":<36}{"Gavelin":>12}{"chromium":>12}{"chromium/Gavelin":>18}')
verdicts = []
for bids in (1, 10):
    g, c = load("gavelin", bids), load("chromium", bids)
    if g is None or c is None:
        print(f"{bids:>4}  no figures from {'Gavelin' if g is None else 'chromium'}")
        continue
    for name, value, kind in rows:
        gv, cv = value(g), value(c)
        if isinstance(gv, str):
            print(f"{bids:>4}  {name:<36}{gv:>12}{cv:>12}")
            continue
        ratio = f"{cv / gv:.1f}x" if kind and gv > 0 else ""
        print(f"{bids:>4}  {name:<36}{gv:>12.1f}{cv:>12.1f}{ratio:>18}")
    speed = c["flow_ms"]["mean"] / max(g["flow_ms"]["mean"], 1e-9)
    rss = c["peak_rss_kb"] / max(g["peak_rss_kb"], 1)
    pss = c["peak_pss_kb"] / max(g["peak_pss_kb"], 1)
    verdicts.append(f"{bids} bid(s): {speed:.1f}x faster, {rss:.1f}x less peak RSS, "
                    f"{pss:.1f}x less peak PSS: goal (10x and 10x) "
                    + ("met" if speed >= 10 and min(rss, pss) >= 10 else "NOT met"))
    print()
for line in verdicts:
    print(line)
print()
print("Gavelin: one process (VmHWM; PSS sampled every 20 ms). chromium: the browser and every")
print("process below it, summed (RSS every 20 ms, PSS every 100 ms). A flow starts just before")
print("the bid thread (Gavelin) or the browser context and page (chromium) are made and ends")
print("when the item page loaded after the confirmation has been read. A listen queue")
print("overflow (the site's queue holds 5 connections) costs its connection one second.")
EOF
exit $status
