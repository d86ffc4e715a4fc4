#!/usr/bin/env bash
# Builds the Debian package from the build folder given, validates its desktop entry and
# AppStream description, installs it as a person would, starts the installed program on a
# private X display until its window shows, and removes the package again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/${1:-build}"
cd "$root"

desktop-file-validate data/mirvane.desktop
appstreamcli validate --no-net data/example.mirvane.Mirvane.metainfo.xml

(cd "$build" && cpack -G DEB > /dev/null)
package=$(ls "$build"/mirvane_2.3.0_*.deb)
dpkg-deb --field "$package" Depends

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
if dpkg-query -W -f='${Status}' mirvane 2>/dev/null | grep -q 'install ok installed'; then
    echo "mirvane is installed already; not touching it" >&2
    exit 1
fi
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q "$package" > /dev/null
trap 'DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get remove -y -q mirvane > /dev/null' EXIT
for file in /usr/bin/mirvane /usr/share/applications/mirvane.desktop \
            /usr/share/icons/hicolor/scalable/apps/mirvane.svg /usr/share/metainfo/example.mirvane.Mirvane.metainfo.xml; do
    [ -f "$file" ] || { echo "the package did not install $file" >&2; exit 1; }
done
scripts/run-under-xvfb.sh bash -c '
    /usr/bin/mirvane & pid=$!
    timeout 30 xdotool search --sync --onlyvisible --pid "$pid" --name "Mirvane" > /dev/null \
        || { echo "the installed program showed no window" >&2; exit 1; }
    kill "$pid"; wait "$pid"'
trap - EXIT
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get remove -y -q mirvane > /dev/null
for file in /usr/bin/mirvane /usr/share/applications/mirvane.desktop; do
    [ ! -e "$file" ] || { echo "removing the package left $file" >&2; exit 1; }
done
echo "The package installs, its program shows its window, and it removes cleanly."
