#!/usr/bin/env bash
# Builds the Debian package build/package/velmora_<version>_amd64.deb from a
# Release tree of its own and checks it with lintian.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

# The distribution's hardening: fortified functions, stack protector, full
# RELRO and immediate binding.
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS

tree=build/package-release
cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build "$tree" -j"$(nproc)"
rm -rf build/package
(cd "$tree" && cpack -B "$PWD/../package")
rm -rf build/package/_CPack_Packages

deb=$(ls build/package/velmora_*_amd64.deb)
echo "Checking $deb with lintian"
lintian --fail-on error --info "$deb"
echo "Built $deb"
