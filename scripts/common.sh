# Shared by run.sh and test.sh: install what is missing, then configure and build.
set -euo pipefail

QUORRIN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QUORRIN_BUILD="${QUORRIN_BUILD_DIR:-$QUORRIN_ROOT/build}"

QUORRIN_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libxcb1-dev libxcb-xinput-dev
  libsqlite3-dev libpoppler-qt6-dev qt6-image-formats-plugins fonts-noto-cjk
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth dbus xdg-utils
  # The desktop tests: a window manager, a notification daemon, X input and
  # the bus's own tools, and screenshots of failing cases.
  openbox dunst xdotool x11-utils imagemagick dbus-bin
  # A system tray that starts after the application.
  trayer
  # The desktop's own checks of the installed entry and icon.
  desktop-file-utils librsvg2-bin
)

quorrin_install_missing() {
  local missing=()
  for package in "${QUORRIN_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
      || missing+=("$package")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

quorrin_build() {
  cmake -S "$QUORRIN_ROOT" -B "$QUORRIN_BUILD" -G Ninja "$@"
  cmake --build "$QUORRIN_BUILD" --parallel "$(nproc)"
}
