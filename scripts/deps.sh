#!/usr/bin/env bash
# Installs the Debian packages the recorder and its tests need; does nothing when all are there.
set -euo pipefail

packages=(
  cmake ninja-build g++ ccache pkg-config git dpkg-dev clang-format clang-tidy
  libgtest-dev libgmock-dev nlohmann-json3-dev
  qt6-base-dev qt6-multimedia-dev libqt6multimedia6 qt6-qpa-plugins
  libcurl4-openssl-dev libpcsclite-dev
  pcscd vsmartcard-vpcd vsmartcard-vpicc python3-virtualsmartcard python3-pyftpdlib python3
  xvfb xauth x11-utils xdotool fonts-noto-cjk imagemagick faketime lintian
  vsftpd openssh-server openssh-client openssl
)

# The secure-transfer tests start their own vsftpd and sshd on loopback. The copies the packages would run as
# services are stopped and masked, so that installing them leaves nothing listening; a server that was
# installed before is left as it was.
quiet_services() {
  local unit
  for unit in "$@"; do
    if [ -d /run/systemd/system ]; then
      "${sudo_cmd[@]}" systemctl disable --now "$unit" >/dev/null 2>&1 || true
      "${sudo_cmd[@]}" systemctl mask "$unit" >/dev/null 2>&1 || true
    else
      "${sudo_cmd[@]}" service "${unit%.*}" stop >/dev/null 2>&1 || true
      "${sudo_cmd[@]}" update-rc.d "${unit%.*}" disable >/dev/null 2>&1 || true
      "${sudo_cmd[@]}" mkdir -p /etc/systemd/system
      "${sudo_cmd[@]}" ln -sf /dev/null "/etc/systemd/system/$unit"
    fi
  done
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}" >&2
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
for p in "${missing[@]}"; do
  case "$p" in
    vsftpd) quiet_services vsftpd.service ;;
    openssh-server) quiet_services ssh.service ssh.socket ;;
  esac
done
