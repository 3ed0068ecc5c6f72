#!/bin/sh
# The web remote's command line in both programs: refusals with status 2, and
# qz7cont --headless --http serving the API on loopback. Loopback only.
#   web_cli_test.sh QZ7CONT QZ7RACK QZ7SIM
set -u
cont=$1 rack=$2 sim=$3
dir=$(mktemp -d)
pid=""
simpid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "$simpid" ] && kill "$simpid" 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$dir/err" ] && sed 's/^/  /' "$dir/err"; exit 1; }

# refused STATUS PATTERN PROGRAM ARGS...: exits with STATUS and says PATTERN on stderr.
refused() {
  want=$1 pattern=$2; shift 2
  timeout 10 "$@" 2>"$dir/err" >/dev/null
  status=$?
  [ "$status" -eq "$want" ] || fail "'$*' gave status $status, expected $want"
  grep -q -e "$pattern" "$dir/err" || fail "'$*' did not say '$pattern'"
}

refused 2 "--headless needs --osc PORT or --http PORT" "$cont" --headless --devices 127.0.0.1
refused 2 "listens beyond this machine" "$cont" --headless --http 0 --http-bind 0.0.0.0 --devices 127.0.0.1
refused 2 "listens beyond this machine" "$rack" --deck a=127.0.0.1 --http 0 --http-bind 0.0.0.0 --http-allow 10.0.0.0/8
printf 'short\n' > "$dir/token"
refused 2 "at least 16 characters" "$rack" --deck a=127.0.0.1 --http 0 --http-token-file "$dir/token"
refused 2 "at least 16 characters" "$cont" --headless --http 0 --http-token-file "$dir/token" --devices 127.0.0.1
refused 2 "need --http PORT" "$cont" --headless --osc 0 --http-allow 127.0.0.1/32 --devices 127.0.0.1
"$cont" --help | grep -q -e "--http-token-file FILE" || fail "qz7cont --help has no --http options"
"$rack" --help | grep -q -e "--http PORT" || fail "qz7rack --help has no --http options"

# Headless with only the web remote: it serves the deck, and a loopback
# client reads its state. The recorder address answers nothing: the link waits.
# The program's own Apply at start is logged as such.
"$cont" --headless --http 0 --devices 127.0.125.1 --log-dir "$dir/log" 2>"$dir/err" &
pid=$!
n=0
until port=$(sed -n 's/.*web remote on http:\/\/127.0.0.1:\([0-9]*\)\/.*/\1/p' "$dir/err") && [ -n "$port" ]; do
  n=$((n + 1)); [ $n -gt 100 ] && fail "no 'web remote on' line"; sleep 0.05
done
answer=$(bash -c "exec 3<>/dev/tcp/127.0.0.1/$port; printf 'GET /api/decks/deck HTTP/1.1\r\nHost: localhost:$port\r\n\r\n' >&3; cat <&3")
echo "$answer" | head -1 | grep -q "200 OK" || fail "GET /api/decks/deck: $answer"
echo "$answer" | grep -q '"hosts":\["127.0.125.1"\]' || fail "no deck state: $answer"
kill -s TERM "$pid"
wait "$pid" || fail "SIGTERM gave status $?"
pid=""
grep -h '"op":"apply"' "$dir"/log/*.jsonl | grep -q '"origin":"start"' || fail "the start-up Apply is not logged with origin start"
# qz7rack with WebSocket clients attached stops cleanly on SIGTERM: the web
# remote lets go of each deck as the rack stops it.
"$sim" --bind 127.0.125.3 2>/dev/null &
simpid=$!
"$rack" --deck studio-a=127.0.125.3 --deck studio-b=127.0.125.4 --http 0 2>"$dir/err" &
pid=$!
n=0
until port=$(sed -n 's/.*web remote on http:\/\/127.0.0.1:\([0-9]*\)\/.*/\1/p' "$dir/err") && [ -n "$port" ]; do
  n=$((n + 1)); [ $n -gt 100 ] && fail "qz7rack: no 'web remote on' line"; sleep 0.05
done
clients=""
for k in 1 2 3; do
  bash -c "exec 3<>/dev/tcp/127.0.0.1/$port; printf 'GET /ws HTTP/1.1\r\nHost: 127.0.0.1:$port\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n' >&3; cat <&3 >/dev/null" 2>/dev/null &
  clients="$clients $!"
done
n=0
until grep -q "deck studio-a: link: LINK OK" "$dir/err"; do
  n=$((n + 1)); [ $n -gt 100 ] && fail "qz7rack: deck studio-a never linked"; sleep 0.05
done
kill -s TERM "$pid"
wait "$pid"
status=$?
pid=""
for c in $clients; do kill "$c" 2>/dev/null; done
[ "$status" -eq 0 ] || fail "qz7rack with web clients gave status $status on SIGTERM"
grep -q "deck studio-a: stopped" "$dir/err" || fail "qz7rack did not stop deck studio-a"
echo "web command line: ok"
