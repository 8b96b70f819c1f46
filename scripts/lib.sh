# shellcheck shell=bash
# Shared by the set-up scripts: the project's place, the Debian packages it needs, the build.
# Source it; it defines functions and variables only.

ZOBRAN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# What a fresh Debian 12 needs to build ZOBRAN, run its tests and show the demo:
# compiler and CMake; Qt 6 Widgets (its offscreen platform plugin, used by the tests, comes with
# libqt6gui6, and it needs fontconfig and at least one font to lay out text: fonts-dejavu-core);
# unixODBC with the PostgreSQL driver and PostgreSQL 15 for the private database server;
# GoogleTest; Xvfb and xauth for xvfb-run, to show windows without a desktop; the locale sources
# (locales), from which a test makes a comma-decimal locale of its own; QtKeychain, for the
# desktop's secret store; FreeTDS's ODBC driver (tdsodbc), which the tests connect through as
# users do; dpkg-dev and file, with which CPack builds the Debian package and finds its dependencies.
ZOBRAN_PACKAGES=(
    build-essential cmake
    qt6-base-dev libgl-dev fontconfig fonts-dejavu-core qtkeychain-qt6-dev
    unixodbc unixodbc-dev odbc-postgresql postgresql-15 tdsodbc
    googletest libgtest-dev libgmock-dev
    xvfb xauth
    locales
    dpkg-dev file
)

zobran_say() {
    echo "[zobran] $*" >&2
}

# The named packages that are not installed, one a line.
zobran_missing_packages() {
    local package
    for package in "$@"; do
        [ "$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null)" = installed ] || echo "$package"
    done
}

# Installs whatever is missing; as root directly, otherwise through sudo.
zobran_install_packages() {
    local missing=()
    mapfile -t missing < <(zobran_missing_packages "${ZOBRAN_PACKAGES[@]}")
    [ "${#missing[@]}" -eq 0 ] && return 0

    local as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            zobran_say "missing Debian packages: ${missing[*]}; install them as root (sudo is not available)"
            return 1
        fi
        as_root=(sudo)
    fi
    zobran_say "installing ${missing[*]}"
    if ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q ||
        ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
            "${missing[@]}"; then
        zobran_say "could not install ${missing[*]}"
        return 1
    fi
}

# zobran_build DIR BUILD_TYPE [cmake configure options...]: configure and build every default target.
zobran_build() {
    local dir=$1 type=$2
    shift 2
    cmake -S "$ZOBRAN_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" &&
        cmake --build "$dir" -j"$(nproc)"
}

# zobran_server_value DIR KEY: one value of the server.env that pgserver.sh wrote into DIR.
zobran_server_value() {
    sed -n "s/^$2=//p" "$1/server.env" | head -n 1
}
