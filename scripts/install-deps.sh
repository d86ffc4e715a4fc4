#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Mirvane need.
# Does nothing when all of them are present; uses sudo when not run as root.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ clang libclang-rt-14-dev pkg-config qt6-base-dev qt6-qpa-plugins libgtest-dev libgmock-dev
    libxcb1-dev libxcb-xtest0-dev libxcb-xkb-dev libxcb-xinput-dev libxkbcommon-dev libxkbcommon-x11-dev
    # a desktop without a screen, driven as a person would
    xvfb openbox xdotool wmctrl x11-utils x11-xkb-utils xauth dbus at-spi2-core python3 python3-pyatspi python3-xlib
    gir1.2-atspi-2.0 gdb
    # the toolkit's GTK theme, whose own accessibility bridge the program must keep off too
    qt6-gtk-platformtheme
    # a Wayland session, with the toolkit's Wayland plugin that the program must not pick, and
    # a remote-desktop viewer that gives the compositor a person's pointer and keyboard
    weston xwayland qt6-wayland freerdp2-x11 openssl
    imagemagick fonts-dejavu-core
    # the package and its checks
    dpkg-dev desktop-file-utils appstream
    # the Windows build and its tests
    g++-mingw-w64-x86-64 wine64 wine
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q "${missing[@]}"
