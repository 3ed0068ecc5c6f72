#!/bin/sh
# qz7rack end to end on loopback: two decks against simulators, OSC to both
# through a pattern, a reload that adds a third, SIGTERM ends it with status 0.
# Also the command line: --help, --version, --check-config, a refused file,
# and no GUI library linked.
#   rack_test.sh QZ7RACK QZ7SIM VERSION
set -u
rack=$1 sim=$2 version=$3
dir=$(mktemp -d)
pids=""
cleanup() { for p in $pids; do kill "$p" 2>/dev/null; done; rm -rf "$dir"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$dir"/*.err "$dir"/dump; do [ -f "$f" ] && { echo "--- $f"; cat "$f"; }; done; exit 1; }
# Polls up to 5 s for a pattern in a file.
waitfor() { n=0; until grep -q -- "$2" "$1" 2>/dev/null; do n=$((n + 1)); [ $n -gt 100 ] && return 1; sleep 0.05; done; }

"$rack" --version | grep -qx "qz7rack $version" || fail "--version"
"$rack" --help | grep -q -- "--deck NAME=FIRST" || fail "--help"
if ldd "$rack" | grep -Eq 'Qt6(Gui|Widgets)'; then fail "qz7rack links a GUI library"; fi
# A refusal is one line that names the fault and points at --help.
for args in "--deck" "--deck a=127.0.0.1 --osc 0 --osc 1" "--deck a=127.0.0.1@1"; do
  "$rack" $args 2> "$dir/refused.err"
  [ $? -eq 2 ] && [ "$(wc -l < "$dir/refused.err")" -eq 1 ] && grep -q "(see --help)$" "$dir/refused.err" ||
    fail "qz7rack $args: $(cat "$dir/refused.err")"
done

# The file may name any address: --check-config starts nothing.
cat > "$dir/site.conf" <<'CONF'
[osc]
port = 9000

[deck studio-a]
devices = 10.0.5.31,10.0.5.32

[deck studio-b]
devices = 10.0.5.32
CONF
"$rack" --config "$dir/site.conf" --check-config 2> "$dir/check.err"
[ $? -eq 2 ] || fail "a shared recorder must be refused with status 2"
grep -q "site.conf:7: deck studio-b names recorder 10.0.5.32" "$dir/check.err" || fail "refusal without file and line"
sed -i '8s/10.0.5.32/10.0.5.33/' "$dir/site.conf"
"$rack" --config "$dir/site.conf" --check-config > "$dir/check.out" || fail "--check-config of a good file"
grep -q "2 deck(s): studio-a, studio-b" "$dir/check.out" || fail "--check-config output"

for a in 127.0.95.1 127.0.95.2 127.0.96.1; do
  "$sim" --bind "$a" 2>/dev/null &
  pids="$pids $!"
done
# studio-c's recorder reports an error: the journal gets it as an error line.
"$sim" --bind 127.0.97.1 --error "FAN STOP" 2>/dev/null &
pids="$pids $!"
printf '[deck studio-b]\ndevices = 127.0.96.1\n' > "$dir/rack.conf"
"$rack" --deck studio-a=127.0.95.1,127.0.95.2 --config "$dir/rack.conf" --osc 0 2> "$dir/rack.err" &
rackpid=$!
pids="$pids $rackpid"
waitfor "$dir/rack.err" "deck studio-a: link: LINK OK 127.0.95.1" || fail "studio-a never linked"
waitfor "$dir/rack.err" "deck studio-b: link: LINK OK 127.0.96.1" || fail "studio-b never linked"
port=$(sed -n 's/.*listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$dir/rack.err")
[ -n "$port" ] || fail "no OSC port"

# A subscriber on a port of its own.
dport=$((20000 + $$ % 20000))
oscdump -L "$dport" > "$dir/dump" 2>&1 &
pids="$pids $!"
sleep 0.1
oscsend 127.0.0.1 "$port" /qz7/subscribe i "$dport"
oscsend 127.0.0.1 "$port" '/qz7/deck/*/play'
waitfor "$dir/dump" '/qz7/deck/studio-a/transport s "PLAY"' || fail "studio-a did not play"
waitfor "$dir/dump" '/qz7/deck/studio-b/transport s "PLAY"' || fail "studio-b did not play"

printf '[deck studio-c]\ndevices = 127.0.97.1\n' >> "$dir/rack.conf"
kill -HUP $rackpid
waitfor "$dir/rack.err" "reload: 3 deck(s); started studio-c; untouched studio-b" || fail "reload"
waitfor "$dir/rack.err" "deck studio-c: link: LINK OK 127.0.97.1" || fail "studio-c never linked"
waitfor "$dir/rack.err" "^<3>qz7rack: deck studio-c: .*FAN STOP" || fail "the recorder's error is no <3> line"
sleep 0.5
[ "$(grep -c "FAN STOP" "$dir/rack.err")" -eq 1 ] || fail "the recorder's error must be one line"
[ "$(grep -c "^<3>" "$dir/rack.err")" -eq 1 ] || fail "only studio-c's error is an error line"

# A burst of reloads (systemctl reload in a loop) collapses; the service
# goes on and still ends on SIGTERM at once.
before=$(grep -c "reload:" "$dir/rack.err")
i=0
while [ $i -lt 1000 ]; do kill -HUP $rackpid; i=$((i + 1)); done
n=0
until [ "$(grep -c "reload:" "$dir/rack.err")" -gt "$before" ]; do
  n=$((n + 1)); [ $n -gt 100 ] && fail "no reload after a burst of SIGHUP"; sleep 0.05
done

kill -TERM $rackpid
( sleep 1; kill -KILL $rackpid 2>/dev/null ) &
guard=$!
wait $rackpid
[ $? -eq 0 ] || fail "SIGTERM must end qz7rack within a second with status 0"
kill $guard 2>/dev/null
grep -q "qz7rack: stopped" "$dir/rack.err" || fail "no orderly stop"
echo "rack end to end: ok"
