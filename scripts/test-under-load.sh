#!/usr/bin/env bash
# Runs the suite on a machine kept busy, the way a person runs it beside a build: starts
# LOAD_PROCS (default 6) endless shell loops at the tests' own priority, runs
# `scripts/test.sh` with this script's arguments (ctest's: -R widgets_tests, -L app ...)
# and stops the loops on every way out (success, failure, Ctrl-C, kill).
#   bash scripts/test-under-load.sh                   # the whole suite under load
#   LOAD_PROCS=3 bash scripts/test-under-load.sh -R converter
# The exit status is the suite's.
set -euo pipefail
here=$(dirname "$0")
procs=${LOAD_PROCS:-6}

busy=()
suite=
stop_load() {
  local pid
  for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${busy[@]}"; do wait "$pid" 2>/dev/null || true; done
  busy=()
}
trap stop_load EXIT
# A signal to this script alone reaches the suite too (ctest.sh then stops its Xvfb).
trap '[ -z "$suite" ] || kill -INT "$suite" 2>/dev/null; exit 130' INT
trap '[ -z "$suite" ] || kill -TERM "$suite" 2>/dev/null; exit 143' TERM

for _ in $(seq "$procs"); do
  sh -c 'while :; do :; done' </dev/null >/dev/null 2>&1 &
  busy+=("$!")
done
printf '\n==> %s CPU-bound processes running (%s); %s\n' "$procs" "${busy[*]}" "$(uptime)" >&2

# In the background, so that a signal runs its trap at once rather than after the suite.
bash "$here/test.sh" "$@" &
suite=$!
status=0
wait "$suite" || status=$?
suite=
printf '\n==> suite exit %s; %s\n' "$status" "$(uptime)" >&2
exit "$status"
