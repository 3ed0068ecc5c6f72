#!/bin/sh
# The command line of both programs where no display exists: --help and
# --version answer on stdout with status 0, a bad option is refused with status
# 2 in one line that points at --help, and the panel, asked to open its window, says in one line that it has no
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
# refused PATTERN ARGS...: status 2, one line that names the fault and points at --help
refused() {
  pattern=$1; shift
  run 2 "$cont" "$@" || return
  checks=$((checks + 1))
  if [ "$(wc -l <"$err")" -ne 1 ] || ! grep -q -e "^qz7cont: $pattern.* (see --help)\$" "$err"; then
    echo "FAIL: '$*' should say '$pattern' in one line; got:"; sed 's/^/  /' "$err"
    failures=$((failures + 1))
  fi
}
refused 'unknown option: --frobnicate' --frobnicate
# Qt's own options are left to Qt, not refused: the error names the bad option behind them.
refused 'unknown option: --frobnicate' -platform offscreen -style Fusion --frobnicate
refused '--devices needs a value' --devices
refused "--devices: '300.1.1.1' is not an IPv4 address" --devices 300.1.1.1
refused "--devices: '0.0.0.0' is not one recorder's address" --devices 0.0.0.0
refused "--devices: '224.0.0.1' is not one recorder's address" --devices 224.0.0.1,127.0.0.1
refused "--devices: 'a_b' is neither" --devices a_b
refused '--select 1 needs a second recorder' --headless --osc 0 --select 1 --devices 127.0.0.1
refused '--osc given twice' --headless --osc 0 --osc=1 --devices 127.0.0.1
refused '--devices given twice' --devices 127.0.0.1 --devices 127.0.0.2
# A host name passes the command line (it is looked up when the link starts).
run 1 "$cont" --devices recorder-1.invalid && expect "$err" 'no display' "a host name is taken"
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
