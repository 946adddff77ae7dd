#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# With --list it only prints their names.
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev libpugixml-dev libgl-dev libfontconfig-dev xvfb xdotool xclip imagemagick x11-utils
          dbus dbus-x11 python3 curl openssl ccache clang clang-format libclang-rt-14-dev strace
          desktop-file-utils appstream dpkg-dev file lintian
          # systemd-analyze checks the daily send's units.
          systemd
          # QtKeychain loads libsecret at run time; the keyring tests run gnome-keyring.
          qtkeychain-qt6-dev libsecret-1-0 gnome-keyring)
if [ "${1:-}" = "--list" ]; then
    echo "${packages[@]}"
    exit 0
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
fi
