#!/bin/sh
# A real Prometheus server scrapes qz7rack: two decks on two simulators, the
# web remote with a token, a scrape every second with the token from a file
# (as docs/metrics.md configures it), until the query API reports both decks'
# link. Then the alert rules of docs/prometheus: a recording stopped at the
# recorder's own panel fires Qz7RecordingLost for that deck alone.
# Loopback only; everything started here is ended on exit.
#   prometheus_test.sh QZ7RACK QZ7SIM RULES
set -u
rack=$1 sim=$2 rules=$3
dir=$(mktemp -d)
pids=""
cleanup() { for p in $pids; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT INT TERM
fail() { echo "FAIL: $*"; for f in "$dir"/*.err; do [ -f "$f" ] && { echo "--- $f"; tail -20 "$f"; }; done; exit 1; }
command -v prometheus >/dev/null || fail "prometheus is not installed (scripts/setup installs the package prometheus)"

"$sim" --bind 127.0.188.1 2>/dev/null &
sima=$!
"$sim" --bind 127.0.189.1 2>/dev/null &
pids="$pids $sima $!"
printf 'metrics-test-token-0123456789\n' > "$dir/token"
chmod 600 "$dir/token"
"$rack" --deck studio-a=127.0.188.1 --deck studio-b=127.0.189.1 --http 0 --http-token-file "$dir/token" \
  --no-log 2> "$dir/rack.err" &
pids="$pids $!"
n=0
until port=$(sed -n 's/.*web remote on http:\/\/127.0.0.1:\([0-9]*\)\/.*/\1/p' "$dir/rack.err") && [ -n "$port" ]; do
  n=$((n + 1)); [ $n -gt 100 ] && fail "no 'web remote on' line"; sleep 0.05
done

# A free loopback port for the server's own web interface.
pport=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$dir/prometheus.yml" <<EOF
global:
  scrape_interval: 1s
  scrape_timeout: 1s
  evaluation_interval: 1s
rule_files:
  - $rules
scrape_configs:
  - job_name: qz7rack
    authorization:
      type: Bearer
      credentials_file: $dir/token
    static_configs:
      - targets: ['127.0.0.1:$port']
EOF
prometheus --config.file="$dir/prometheus.yml" --storage.tsdb.path="$dir/data" \
  --web.listen-address="127.0.0.1:$pport" --log.level=warn 2> "$dir/prometheus.err" &
pids="$pids $!"

# query EXPR: the result as "deck=value" lines (or "job=value"), sorted.
query() {
  promtool query instant "http://127.0.0.1:$pport" "$1" 2>/dev/null |
    sed -n -e 's/.*deck="\([^"]*\)".* => \([^ ]*\) @.*/\1=\2/p' -e t -e 's/.*job="\([^"]*\)".* => \([^ ]*\) @.*/\1=\2/p' |
    sort
}
want="studio-a=1
studio-b=1"
n=0
until [ "$(query qz7_deck_link_up 2>/dev/null)" = "$want" ]; do
  n=$((n + 1)); [ $n -gt 300 ] && fail "Prometheus never saw both decks linked: $(query qz7_deck_link_up)"; sleep 0.1
done
[ "$(query 'up{job="qz7rack"}')" = "qz7rack=1" ] || fail "the scrape target is not up"
[ "$(query 'qz7_deck_transport{transport="STOP"}')" = "$want" ] || fail "transport words: $(query qz7_deck_transport)"
# studio-a records; its recorder's own panel stops it.
curl -sf -X POST -H "Authorization: Bearer $(cat "$dir/token")" -H "Content-Type: application/json" \
  -d '{"confirm":1}' "http://127.0.0.1:$port/api/decks/studio-a/rec" > /dev/null || fail "rec refused"
n=0
until [ "$(query 'qz7_deck_recording == 1')" = "studio-a=1" ] &&
  [ "$(query 'qz7_operations_total{origin="web",outcome="confirmed"} == 1')" = "studio-a=1" ]; do
  n=$((n + 1)); [ $n -gt 100 ] && fail "Prometheus never saw studio-a record"; sleep 0.1
done
# A stop within 2 s of our own rec could be ours: the deck raises no alarm then.
sleep 2.5
kill -USR2 $sima
n=0
until [ "$(query 'ALERTS{alertname="Qz7RecordingLost",alertstate="firing"}')" = "studio-a=1" ]; do
  n=$((n + 1)); [ $n -gt 100 ] && fail "no Qz7RecordingLost: $(query 'qz7_deck_alarm')"; sleep 0.1
done
echo "scrape: $(query scrape_samples_scraped) samples, $(query scrape_duration_seconds) s"
echo "prometheus scrape: ok"
