#!/usr/bin/env bash
# Builds the Debian package from a configured build folder, shows what it
# holds, unpacks it into a scratch root and runs the installed programs there.
# Usage: scripts/check-package.sh [BUILD_DIR]   (default: build, as test.sh leaves it)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" >/dev/null
rm -f "$build"/morvaplot_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/morvaplot_*.deb)
echo "== $deb"
dpkg-deb --field "$deb" Package Version Section Depends
dpkg-deb --contents "$deb" | awk '{print $6}'

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
for f in usr/bin/morvaplot usr/bin/morvaplot-cli usr/libexec/morvaplot/morvaplot-cli-qt \
         usr/share/applications/org.morvaplot.morvaplot.desktop \
         usr/share/mime/packages/org.morvaplot.morvaplot.xml \
         usr/share/metainfo/org.morvaplot.morvaplot.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/org.morvaplot.morvaplot.svg \
         usr/share/icons/hicolor/48x48/apps/org.morvaplot.morvaplot.png \
         usr/share/icons/hicolor/256x256/apps/org.morvaplot.morvaplot.png \
         usr/share/man/man1/morvaplot.1 usr/share/man/man1/morvaplot-cli.1 \
         usr/share/morvaplot/samples/wafer49.thk; do
  [ -s "$root/$f" ] || { echo "missing from the package: $f" >&2; exit 1; }
done
desktop-file-validate "$root/usr/share/applications/org.morvaplot.morvaplot.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.morvaplot.morvaplot.metainfo.xml" >/dev/null
"$root/usr/bin/morvaplot" --version
"$root/usr/bin/morvaplot-cli" --version
"$root/usr/bin/morvaplot-cli" --help >/dev/null
"$root/usr/bin/morvaplot-cli" stats "$root/usr/share/morvaplot/samples/wafer49.thk"
# A picture: the installed morvaplot-cli finds its part that needs Qt.
"$root/usr/bin/morvaplot-cli" image "$root/usr/share/morvaplot/samples/wafer49.thk" --out "$root/map.png"
[ -s "$root/map.png" ] || { echo "the installed morvaplot-cli drew no picture" >&2; exit 1; }
# The Python module, when the build made it: Debian's python3 imports it from
# the unpacked package and reads a sample with it.
if [ -d "$root/usr/lib/python3/dist-packages/morvaplot" ]; then
  PYTHONPATH="$root/usr/lib/python3/dist-packages" PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -c "
import morvaplot, sys
record = morvaplot.read_thk(sys.argv[1])
assert morvaplot.__file__.startswith(sys.argv[2]), morvaplot.__file__
print('python module:', record.count, 'points')" \
    "$root/usr/share/morvaplot/samples/wafer49.thk" "$root/usr/lib/python3/dist-packages"
fi
echo "package check passed"
