#!/bin/sh
# Try Gavelin without an account: starts the practice site, points a fresh Gavelin profile
# (GAVELIN_HOME) at it and runs Gavelin. The site stops when Gavelin exits.
#
#   tools/practice-site/try-gavelin.sh [--build DIR] [--site us|de] [-- GAVELIN ARGUMENTS]
set -eu

build=build
site=us
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --site) site=$2; shift 2 ;;
    --) shift; break ;;
    *) echo "usage: $0 [--build DIR] [--site us|de] [-- gavelin arguments]" >&2; exit 2 ;;
  esac
done

server="$build/tools/practice-site/gavelin-practice-site"
# The window where a display exists, otherwise the engine without one.
program="$build/src/gavelind"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/src/gavelin" ]; then
  program="$build/src/gavelin"
fi
for f in "$server" "$program"; do
  [ -x "$f" ] || { echo "$f is not built (cmake --build $build)" >&2; exit 1; }
done

case "$site" in
  us) site_name=www.ebay.com; language=en ;;
  de) site_name=www.ebay.de; language=de ;;
  *) echo "--site is us or de" >&2; exit 2 ;;
esac

GAVELIN_HOME=${GAVELIN_HOME:-$(mktemp -d "${TMPDIR:-/tmp}/gavelin-try.XXXXXX")}
export GAVELIN_HOME
mkdir -p "$GAVELIN_HOME/config"

# The site writes its port into a file of this run only, renamed into place once it listens:
# a port file of an earlier run, or one the site has only begun to write, is never read.
port_file=$(mktemp -u "$GAVELIN_HOME/practice-site.port.XXXXXX")
"$server" --language "$language" --port-file "$port_file" >/dev/null &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null; rm -f "$port_file"' EXIT INT TERM
tries=0
until [ -s "$port_file" ]; do
  tries=$((tries + 1))
  if [ "$tries" -ge 200 ] || ! kill -0 "$server_pid" 2>/dev/null; then
    echo "the practice site did not start" >&2
    exit 1
  fi
  sleep 0.05
done
port=$(sed -n 's/^port=//p' "$port_file")
case "$port" in
  ''|*[!0-9]*) echo "the practice site gave no port" >&2; exit 1 ;;
esac

# A fresh profile gets the site's values and the practice account. An existing one keeps
# its settings; only the site's address moves to the port the site has now.
fresh=0
if [ ! -e "$GAVELIN_HOME/config/machine.ini" ]; then
  "$server" --print-profile --port "$port" --ini >"$GAVELIN_HOME/config/machine.ini"
  fresh=1
else
  sed -i "s#http://127\.0\.0\.1:[0-9]*/#http://127.0.0.1:$port/#g" "$GAVELIN_HOME/config/machine.ini"
fi
if [ ! -e "$GAVELIN_HOME/config/gavelin.ini" ]; then
  printf '[Options]\ncurrentSite=%s\n' "$site_name" >"$GAVELIN_HOME/config/gavelin.ini"
fi
if [ "$fresh" = 1 ] && [ -x "$build/src/gavelind" ]; then
  "$build/src/gavelind" settings set Login Login practice_user >/dev/null
  "$build/src/gavelind" settings set Login Password practice >/dev/null
fi

echo "Practice site: http://127.0.0.1:$port/  (user practice_user, password practice)"
echo "Gavelin profile: $GAVELIN_HOME"
"$program" "$@"
