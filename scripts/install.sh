#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian 12. Quick when all is there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git ca-certificates
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools qt6-webchannel-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n libqt6svg6
  libcpp-httplib-dev libssl-dev zlib1g-dev libbrotli-dev openssl libnss3-tools
  xvfb xauth x11-utils xdotool openbox trayer imagemagick
  fonts-noto-cjk libgl1-mesa-dri
  clang-format cppcheck shellcheck pyflakes3 curl clang libclang-rt-14-dev
  python3-xlib
  qtkeychain-qt6-dev libsecret-1-0 gnome-keyring libsecret-tools dbus-daemon dbus-bin
  libsodium-dev minisign
  mutter xwayland qt6-wayland lxqt-panel
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  appstream lintian desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install: missing packages (${missing[*]}); run as root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
