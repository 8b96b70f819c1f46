#!/usr/bin/env bash
# Builds the Debian package zobran_<version>_<arch>.deb: installs what is missing, builds ZOBRAN
# (Release, without tests) into build-package/ and packs it with CPack, whose dpkg-shlibdeps finds
# the package's dependencies. The package lands in the current folder, or in the folder given:
#   scripts/package.sh [OUTPUT_DIR]
# Install it with:  sudo apt install ./zobran_*.deb
set -euo pipefail

# shellcheck source=scripts/lib.sh
. "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib.sh"

output=$(mkdir -p "${1:-.}" && cd "${1:-.}" && pwd)
readonly output build="$ZOBRAN_ROOT/build-package"

zobran_install_packages
zobran_build "$build" Release -DBUILD_TESTING=OFF

rm -rf "$build/dist"
(cd "$build" && cpack -G DEB -B "$build/dist") >&2
for deb in "$build"/dist/zobran_*.deb; do
    cp "$deb" "$output/"
    zobran_say "package: $output/$(basename "$deb")"
done
