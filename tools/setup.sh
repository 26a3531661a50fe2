# Shared set-up of play.sh and test.sh: installs the Debian packages the build needs,
# configures and builds into build/ (which also receives the generated res/).
# Sourced, not run: the caller may set BUILD_TYPE and WERROR before sourcing; build_game
# can be called again with BUILD_DIR and SOLVERICA_CMAKE_ARGS for another build.
# play.sh and test.sh share build/ and one configuration (warnings are errors in both),
# so either one after the other finds everything built: a flag that differed between them
# would change every compile command and rebuild the whole tree each time.

SOLVERICA_PACKAGES="cmake ninja-build g++ pkg-config libsdl2-dev libepoxy-dev libstb-dev \
libopenal-dev libopenal1 libgtest-dev libbenchmark-dev glslang-tools fonts-mplus \
libgl1-mesa-dri libegl1 libegl-mesa0 clang libclang-rt-14-dev clang-format \
dpkg-dev lintian desktop-file-utils appstream man-db xvfb xdotool"

# Lists the packages of SOLVERICA_PACKAGES that are not installed yet.
missing_packages() {
  local missing="" pkg
  for pkg in $SOLVERICA_PACKAGES; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing="$missing $pkg"
  done
  echo "$missing"
}

# Installs what is missing: as root directly, otherwise through sudo; else says how and stops.
install_packages() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  echo "Installing Debian packages:$missing"
  if [ "$(id -u)" = 0 ]; then
    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing
  elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    sudo apt-get update -q && sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing
  else
    echo "Please install the missing packages first:"
    echo "  sudo apt-get install$missing"
    exit 1
  fi
}

# Configures (once) and builds everything into build/ (or BUILD_DIR), including res/.
build_game() {
  local launcher="" dir="${BUILD_DIR:-build}"
  # ccache, where installed, makes rebuilds in other checkouts cheap; it is optional.
  command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
    -DSOLVERICA_WERROR="${WERROR:-ON}" $launcher ${SOLVERICA_CMAKE_ARGS:-} >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

install_packages
build_game
