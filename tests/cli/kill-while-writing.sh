#!/usr/bin/env bash
# morvaplot-cli killed with SIGKILL at random moments while it writes a .thk
# file over an existing one, 100 times: the file is always either the old one
# or the complete new one.
#   kill-while-writing.sh MORVAPLOT_CLI
set -euo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
make=(random --size 500 --count 500 --check 1 --seed 7)
"$cli" "${make[@]}" --out "$dir/new.thk"
"$cli" random --seed 8 --out "$dir/old.thk"
cmp -s "$dir/old.thk" "$dir/new.thk" && { echo "old and new must differ" >&2; exit 1; }

# Kills are spread over the length of an uninterrupted run, and a little past it.
start=$(date +%s%N)
"$cli" "${make[@]}" --out "$dir/timing.thk"
span=$(( ($(date +%s%N) - start) / 1000 * 12 / 10 ))
RANDOM=20240607
old=0
new=0
for round in $(seq 100); do
  cp "$dir/old.thk" "$dir/out.thk"
  "$cli" "${make[@]}" --out "$dir/out.thk" &
  pid=$!
  delay=$(( (RANDOM * 32768 + RANDOM) % (span + 1) ))
  sleep "$(printf '%d.%06d' $((delay / 1000000)) $((delay % 1000000)))"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if cmp -s "$dir/out.thk" "$dir/old.thk"; then
    old=$((old + 1))
  elif cmp -s "$dir/out.thk" "$dir/new.thk"; then
    new=$((new + 1))
  else
    echo "round $round: the file is neither the old nor the new one ($(wc -c <"$dir/out.thk") bytes)" >&2
    exit 1
  fi
done
echo "100 kills over ${span} us: $old left the old file, $new the new one"
