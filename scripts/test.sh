#!/usr/bin/env bash
# Installs what is missing, builds ZOBRAN with its tests into build/ and runs them all with ctest.
# The database tests share one private server (ctest starts and stops it); every test process works
# in databases of its own, so they run side by side.
# The exit status is ctest's.
set -euo pipefail

# shellcheck source=scripts/lib.sh
. "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib.sh"

zobran_install_packages
zobran_build "$ZOBRAN_ROOT/build" RelWithDebInfo -DBUILD_TESTING=ON

cd "$ZOBRAN_ROOT/build"
exec ctest --output-on-failure -j4
