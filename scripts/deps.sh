# Installs the Debian 12 packages the build needs, only those still missing.
# Sourced by run.sh and test.sh. The window's Chinese captions need a font
# with Chinese glyphs (the window tests measure them in it), as the Debian
# package's dependency does.
vqled_packages=(build-essential cmake ninja-build clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev libudev-dev libgif-dev libpng-dev
  libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev xvfb xauth fonts-wqy-microhei)

vqled_install_missing() {
  local missing=()
  for p in "${vqled_packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  # Root installs directly; anyone else through sudo, when sudo can ask for
  # a password here or needs none. Nothing else is tried.
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null || ! { [ -t 0 ] || sudo -n true 2>/dev/null; }; then
      vqled_cannot_install "$(id -un) is not root and cannot use sudo here" "${missing[@]}"
      return 1
    fi
    sudo=(sudo)
  fi
  echo "installing: ${missing[*]}"
  if ! "${sudo[@]}" apt-get update -qq ||
    ! "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
    vqled_cannot_install "apt-get failed" "${missing[@]}"
    return 1
  fi
}

vqled_cannot_install() {  # REASON PACKAGE...
  local reason=$1; shift
  echo "error: cannot install the missing packages ($reason): $*" >&2
  echo "Ask an administrator to run: sudo apt-get install $*" >&2
}

vqled_configure_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir"
}
