#!/bin/sh
# Checks gavelind.service with `systemd-analyze verify`, against the gavelind just built
# (the installed unit finds gavelind on the system's path). Exit status 77 (skipped)
# without systemd-analyze.
# verifyunit.sh UNIT GAVELIND WORKDIR
set -u
if ! command -v systemd-analyze >/dev/null 2>&1; then
    echo "systemd-analyze not found: the unit file is not checked"
    exit 77
fi
mkdir -p "$3"
sed "s|^ExecStart=gavelind |ExecStart=$2 |" "$1" >"$3/gavelind.service"
out=$(systemd-analyze verify --man=no "$3/gavelind.service" 2>&1)
status=$?
printf '%s\n' "$out"
# Complaints about other units of this machine are not ours.
[ "$status" -eq 0 ] && ! printf '%s\n' "$out" | grep -q 'gavelind'
