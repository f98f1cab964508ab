#!/usr/bin/env bash
# A .thk file the user may not read gives the open error and exit status 1.
# Root reads everything, so as root the tool runs as nobody.
#   unreadable-file.sh MORVAPLOT_CLI
set -euo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
chmod 755 "$dir"
# A copy the other user can run wherever the build folder lies.
cp "$cli" "$dir/morvaplot-cli"
printf '100\n10,10\n0,0,1,\n' >"$dir/secret.thk"
chmod 000 "$dir/secret.thk"
run=("$dir/morvaplot-cli")
if [ "$(id -u)" -eq 0 ]; then
  # LSAN_OPTIONS of a sanitizer build may name a file that user cannot read.
  run=(env -u LSAN_OPTIONS setpriv --reuid=nobody --regid=nogroup --clear-groups "$dir/morvaplot-cli")
fi
status=0
err=$(cd "$dir" && "${run[@]}" stats "$dir/secret.thk" 2>&1 >/dev/null) || status=$?
expected="File open error. -> $dir/secret.thk"
if [ "$status" -ne 1 ] || [ "$err" != "$expected" ]; then
  echo "expected status 1 and '$expected', got status $status and '$err'" >&2
  exit 1
fi
echo "unreadable file refused: $err"
