# Installs the Debian 12 packages the build needs, only those still missing.
# Sourced by run.sh and test.sh. The window's Chinese captions need a font
# with Chinese glyphs (the window tests measure them in it), as the Debian
# package's dependency does.
vqled_packages=(build-essential cmake ninja-build clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev xvfb xauth fonts-wqy-microhei)

vqled_install_missing() {
  local missing=()
  for p in "${vqled_packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

vqled_configure_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir"
}
