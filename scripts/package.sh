#!/usr/bin/env bash
# Builds the Debian package build/package/velmora_<version>_amd64.deb from a
# Release tree of its own and checks it with lintian.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

# The distribution's full hardening: fortified functions, stack protector,
# position-independent code, full RELRO and immediate binding. Given on the
# command line because CMake reads CXXFLAGS and LDFLAGS only into a new tree.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"

tree=build/package-release
cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$tree" -j"$(nproc)"
rm -rf build/package
(cd "$tree" && cpack -B "$PWD/../package")
rm -rf build/package/_CPack_Packages

deb=$(ls build/package/velmora_*_amd64.deb)
echo "Checking $deb with lintian"
lintian --fail-on error --info "$deb"
echo "Built $deb"
