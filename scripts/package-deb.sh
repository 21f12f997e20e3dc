#!/usr/bin/env bash
# Builds the Debian package lumivane_<version>_amd64.deb into BUILD_DIR (default: build-deb) and
# checks it with lintian. Extra arguments go to cmake's configure step. Prints the package's path
# last.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-deb}

# Packaging tools: cpack's shlibdeps needs dpkg-dev; lintian checks the result.
needed=()
for p in dpkg-dev lintian; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || needed+=("$p")
done
if [ ${#needed[@]} -gt 0 ]; then
  scripts/install-deps.sh
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${needed[@]}"
fi

# Debian's hardening: fortified functions, stack protector, full RELRO with immediate binding.
# Given on the command line, so a build folder configured before picks them up too.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
# cpack installs without first building everything (the tests are not part of the package).
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DLUMIVANE_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  -DCMAKE_C_FLAGS="$cppflags $(dpkg-buildflags --get CFLAGS)" \
  -DCMAKE_CXX_FLAGS="$cppflags $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" "$@" >/dev/null
# Only what the package holds; the tests are not needed for it.
cmake --build "$build_dir" -j"$(nproc)" --target Lumivane config assets preview_ppk docs
rm -f "$build_dir"/lumivane_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
deb=$(ls "$build_dir"/lumivane_*_amd64.deb)
echo "lintian:"
# Errors fail the script; warnings, notes and pedantic tags are shown.
lintian -I --pedantic --fail-on error "$deb" | sed 's/^/  /' || { echo "lintian found errors"; exit 1; }
echo "$(realpath "$deb")"
