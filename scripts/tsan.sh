#!/usr/bin/env bash
# Builds the database tests with the thread sanitizer into build-tsan/ and runs them (ctest starts
# and stops their test server). Any report of a data race, a lock-order inversion or another thread
# error fails the run. Reports whose every frame lies in Qt, unixODBC or the ODBC driver (libraries
# not built with the sanitizer, whose own locks it cannot see) are suppressed by
# scripts/tsan.supp; nothing of the project's code is.
# The exit status is ctest's.
set -euo pipefail

# shellcheck source=scripts/lib.sh
. "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib.sh"

zobran_install_packages
dir="$ZOBRAN_ROOT/build-tsan"
cmake -S "$ZOBRAN_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" "$@"
cmake --build "$dir" -j"$(nproc)" --target test_db test_db_server

export TSAN_OPTIONS="suppressions=$ZOBRAN_ROOT/scripts/tsan.supp exitcode=66 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
cd "$dir"
exec ctest --output-on-failure -j2 -R '^db\.'
