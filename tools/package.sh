#!/usr/bin/env bash
# Builds the Debian package solverica_VERSION_ARCH.deb from this tree and prints its path.
# The game and its data are built afresh in build-package/ (PACKAGE_BUILD_DIR, relative
# to the tree, chooses another folder; SOLVERICA_CMAKE_ARGS adds configure arguments) with the flags test.sh
# builds with, so ccache serves what the main build compiled; res/ is always generated
# anew. cmake --install stages the Debian games layout (/usr/games,
# /usr/share/games/solverica) and stops when generated data is missing; this script adds
# the copyright file, the changelog and the lintian overrides, compresses the manual
# page, computes Depends with dpkg-shlibdeps and builds with dpkg-deb. The version is
# the one the built game's --version prints. Needs dpkg-dev besides the build's packages.
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022

# Stops with a message on standard error.
fail() {
  echo "package.sh: $*" >&2
  exit 1
}

# Every tool the steps below call.
check_tools() {
  local tool missing=""
  for tool in cmake ninja strip dpkg-deb dpkg-shlibdeps dpkg-parsechangelog gzip; do
    command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
  done
  [ -z "$missing" ] || fail "missing tools:$missing (Debian packages cmake, ninja-build, dpkg-dev)"
}

# A tree without the content generator or its sources builds a game without res/.
check_tree() {
  [ -f tools/contentgen/CMakeLists.txt ] && [ -d content/stages ] ||
    fail "this tree has no content generator (tools/contentgen) or no content sources (content/):" \
      "the game's data cannot be generated, and a package without it starts to a blank screen"
}

# Configures and builds the game, its effects and its content; res/ is made anew.
build_game() {
  local launcher=""
  command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOLVERICA_WERROR=ON \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games -DSOLVERICA_DATA_DIR=share/games/solverica \
    -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,now" $launcher ${SOLVERICA_CMAKE_ARGS:-} >/dev/null ||
    fail "configuring $build failed (see above)"
  rm -rf "$build/res"
  cmake --build "$build" -j "$(nproc)" --target solverica effects content || fail "building the game failed (see above)"
}

# The installed files, stripped as dh_strip does, with the documents Debian asks for
# beside them; DEBIAN/ marks the package root for dpkg-shlibdeps.
stage_files() {
  rm -rf "$stage"
  DESTDIR="$stage" cmake --install "$build" >/dev/null || fail "installing into $stage failed (see above)"
  strip --strip-unneeded --remove-section=.comment --remove-section=.note "$stage/usr/games/solverica"
  local doc="$stage/usr/share/doc/solverica"
  mkdir -p "$doc" "$stage/usr/share/lintian/overrides" "$stage/DEBIAN"
  cp packaging/debian/copyright "$doc/copyright"
  gzip -9n <packaging/debian/changelog >"$doc/changelog.gz"
  gzip -9n "$stage/usr/share/man/man6/solverica.6"
  cp packaging/debian/solverica.lintian-overrides "$stage/usr/share/lintian/overrides/solverica"
  chmod -R u=rwX,go=rX "$stage"
}

# The version the game prints; the changelog and the AppStream release must say the same.
read_version() {
  version=$("$stage/usr/games/solverica" --version) || fail "the built game does not answer --version"
  version=${version#Solverica }
  local logged
  logged=$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)
  [ "$logged" = "$version" ] || fail "packaging/debian/changelog's newest entry is $logged, the game is $version"
  grep -q "<release version=\"$version\"" packaging/io.github.solverica.Solverica.metainfo.xml ||
    fail "packaging/io.github.solverica.Solverica.metainfo.xml has no release $version"
}

# Depends from the libraries the game links; dpkg-shlibdeps expects the staged files in
# debian/<package>/ beside a debian/control.
compute_depends() {
  printf 'Source: solverica\n\nPackage: solverica\nArchitecture: any\n' >"$build/debian/control"
  depends=$(cd "$build" && dpkg-shlibdeps -O debian/solverica/usr/games/solverica) || fail "dpkg-shlibdeps failed"
  depends=${depends#shlibs:Depends=}
}

# DEBIAN/control and md5sums, then the package, files owned by root, dated by the
# changelog. gzip rather than xz: the data is mostly PNG and PCM, which xz makes only
# 7 % smaller for 14 times the compression time.
build_deb() {
  local arch size
  arch=$(dpkg --print-architecture)
  size=$(du -sk --apparent-size --exclude=DEBIAN "$stage" | cut -f1)
  sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
    packaging/debian/control.in >"$stage/DEBIAN/control"
  (cd "$stage" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
  chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"
  deb="$build/solverica_${version}_${arch}.deb"
  rm -f "$build"/solverica_*.deb
  SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/debian/changelog -S Timestamp) \
    dpkg-deb --root-owner-group -Zgzip --build "$stage" "$deb" >/dev/null || fail "dpkg-deb failed"
}

build=${PACKAGE_BUILD_DIR:-build-package}
stage="$(cd "$(dirname "$build")" && pwd)/$(basename "$build")/debian/solverica"
check_tools
check_tree
build_game
stage_files
read_version
compute_depends
build_deb
echo "$deb"
