#!/bin/sh
# SIGTERM and SIGINT end the panel as closing its window does, status 0, with
# the window (offscreen) and without it; --select is refused without
# --headless. Loopback only.
#   signals_test.sh QZ7CONT
set -u
cont=$1
failures=0 checks=0
err=$(mktemp)
trap 'rm -f "$err"' EXIT

# stops SIGNAL ARGS...: starts the panel, lets it run, sends SIGNAL, expects status 0
stops() {
  sig=$1; shift
  checks=$((checks + 1))
  "$cont" "$@" 2>"$err" &
  pid=$!
  # Until the program catches the signal (a slow start, as under a sanitizer,
  # would otherwise meet the default action), then a moment of running.
  case $sig in TERM) bit=16384 ;; INT) bit=2 ;; esac
  tries=0
  while [ $tries -lt 200 ]; do
    caught=$(awk '/^SigCgt/ { print substr($2, 9) }' "/proc/$pid/status" 2>/dev/null)
    [ -n "$caught" ] && [ $(( 0x$caught & bit )) -ne 0 ] && break
    tries=$((tries + 1))
    sleep 0.05
  done
  sleep 0.5
  kill -s "$sig" "$pid"
  # A panel that ignored the signal is stopped here rather than hanging the suite.
  ( sleep 10; kill -s KILL "$pid" 2>/dev/null ) >/dev/null 2>&1 &
  guard=$!
  wait "$pid"
  status=$?
  kill "$guard" 2>/dev/null
  if [ "$status" -ne 0 ]; then
    echo "FAIL: $sig to '$*' gave status $status, expected 0; stderr:"; sed 's/^/  /' "$err"
    failures=$((failures + 1))
  fi
}

QT_QPA_PLATFORM=offscreen stops TERM --devices 127.0.199.1
QT_QPA_PLATFORM=offscreen stops INT --devices 127.0.199.1
stops TERM --headless --osc 0 --devices 127.0.199.1

checks=$((checks + 1))
QT_QPA_PLATFORM=offscreen timeout 20 "$cont" --select 1 --devices 127.0.199.1 2>"$err"
status=$?
if [ "$status" -ne 2 ] || ! grep -q -e '--select works with --headless only' "$err"; then
  echo "FAIL: --select without --headless gave status $status:"; sed 's/^/  /' "$err"
  failures=$((failures + 1))
fi

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
