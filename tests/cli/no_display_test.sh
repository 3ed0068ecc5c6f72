#!/bin/sh
# The command line of both programs where no display exists: --help and
# --version answer on stdout with status 0, a bad option is refused with status
# 2, and the panel, asked to open its window, says in one line that it has no
# display and exits 1 instead of letting the toolkit abort.
#   no_display_test.sh QZ7CONT QZ7SIM VERSION
set -u
cont=$1 sim=$2 version=$3
failures=0 checks=0
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

# run EXPECTED_STATUS PROGRAM ARGS...: runs without any display, output in $out and $err
run() {
  expected=$1; shift
  checks=$((checks + 1))
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$@" >"$out" 2>"$err"
  status=$?
  if [ "$status" -ne "$expected" ]; then
    echo "FAIL: '$*' exited $status, expected $expected; stderr:"; sed 's/^/  /' "$err"
    failures=$((failures + 1))
    return 1
  fi
}
expect() {  # expect FILE GREP_PATTERN WHAT
  checks=$((checks + 1))
  if ! grep -q -e "$2" "$1"; then
    echo "FAIL: $3; got:"; sed 's/^/  /' "$1"
    failures=$((failures + 1))
  fi
}
first_line_is() {  # first_line_is FILE TEXT
  checks=$((checks + 1))
  if [ "$(head -n 1 "$1")" != "$2" ]; then
    echo "FAIL: first line '$(head -n 1 "$1")', expected '$2'"
    failures=$((failures + 1))
  fi
}

run 0 "$cont" --help && { expect "$out" '--devices' "qz7cont --help lists --devices"
                          expect "$out" '--version' "qz7cont --help lists --version"; }
run 0 "$cont" --version && first_line_is "$out" "qz7cont $version"
run 2 "$cont" --frobnicate && { expect "$err" 'unknown option: --frobnicate' "the bad option is named"
                                expect "$err" '^Usage' "the usage follows the error"; }
# Qt's own options are left to Qt, not refused: the error names the bad option behind them.
run 2 "$cont" -platform offscreen -style Fusion --frobnicate &&
  expect "$err" 'unknown option: --frobnicate' "Qt's options pass"
run 2 "$cont" --devices && expect "$err" 'unknown option: --devices' "--devices without a value is refused"
# Loopback only: even if the check failed and the panel came up, nothing leaves the machine.
if run 1 "$cont" --devices 127.0.0.1; then
  expect "$err" 'no display' "the panel says it has no display"
  checks=$((checks + 1))
  [ "$(wc -l <"$err")" -eq 1 ] || { echo "FAIL: no-display message is not one line:"; cat "$err"; failures=$((failures + 1)); }
fi

run 0 "$sim" --help && expect "$out" '--version' "qz7sim --help lists --version"
run 0 "$sim" --version && first_line_is "$out" "qz7sim $version"
run 2 "$sim" --frobnicate && expect "$err" 'unknown option --frobnicate' "qz7sim names the bad option"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
