#!/usr/bin/env bash
# Opens ZOBRAN on the demo databases: installs what is missing, builds the program (Release) into
# build-release/, starts the private demo server unless it runs already (its data is kept between
# runs), fills in the remembered connection values where they are empty, and starts the program.
# Without a display, run it as: xvfb-run -a scripts/demo.sh
set -euo pipefail

# shellcheck source=scripts/lib.sh
. "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib.sh"

readonly DEMO_DIR="${XDG_DATA_HOME:-$HOME/.local/share}/zobran-demo"
readonly SETTINGS_FILE="${XDG_CONFIG_HOME:-$HOME/.config}/ORMIND/ORMIND.ini"

# A value for the settings file: bare when plain, otherwise quoted the way QSettings reads it back
# (a bare value with a comma would read as a list).
ini_value() {
    if [[ "$1" =~ ^[A-Za-z0-9/._-]*$ ]]; then
        printf '%s' "$1"
    else
        printf '"%s"' "$(printf '%s' "$1" | sed 's/[\\"]/\\&/g')"
    fi
}

# Sets the connection values in [GeneralSetting] where they are missing or empty; keys compare
# without regard to case, as the program reads them; every other line stays as it is.
fill_connection_settings() {
    mkdir -p "$(dirname "$SETTINGS_FILE")"
    local tmp
    tmp=$(mktemp "$SETTINGS_FILE.XXXXXX")
    chmod 0600 "$tmp"
    {
        if [ -f "$SETTINGS_FILE" ]; then cat "$SETTINGS_FILE"; fi
    } | V_SERVER=$(ini_value "$1") V_DATABASE=$(ini_value "$2") V_LOGIN=$(ini_value "$3") \
        V_PASSWORD=$(ini_value "$4") awk '
        BEGIN {
            n = split("cServer ConnTable cLogin cPassword", keys, " ")
            value["cserver"] = ENVIRON["V_SERVER"]; value["conntable"] = ENVIRON["V_DATABASE"]
            value["clogin"] = ENVIRON["V_LOGIN"];   value["cpassword"] = ENVIRON["V_PASSWORD"]
        }
        function add_missing(   i, k) {
            for (i = 1; i <= n; i++) {
                k = tolower(keys[i])
                if (!(k in seen)) { print keys[i] "=" value[k]; seen[k] = 1 }
            }
        }
        # Blank lines are held back, so that keys added at the end of the group come before them.
        function flush_blanks() { for (; blanks > 0; blanks--) print "" }
        /^[ \t]*$/ { blanks++; next }
        /^[ \t]*\[.*\][ \t]*$/ {
            if (in_group) add_missing()
            flush_blanks()
            section = $0; gsub(/^[ \t]*\[|\][ \t]*$/, "", section)
            in_group = (section == "GeneralSetting")
            if (in_group) found_group = 1
            print; printed = 1; next
        }
        { flush_blanks() }
        in_group && index($0, "=") > 0 {
            key = substr($0, 1, index($0, "=") - 1); gsub(/^[ \t]+|[ \t]+$/, "", key)
            current = substr($0, index($0, "=") + 1); gsub(/^[ \t]+|[ \t]+$/, "", current)
            k = tolower(key)
            if (k in value && !(k in seen)) {
                seen[k] = 1
                if (current == "" || current == "\"\"") { print key "=" value[k]; next }
            }
        }
        { print; printed = 1 }
        END {
            if (in_group) add_missing()
            else if (!found_group) {
                if (printed) print ""
                print "[GeneralSetting]"; add_missing()
            }
            flush_blanks()
        }' >"$tmp"
    mv "$tmp" "$SETTINGS_FILE"
    chmod 0600 "$SETTINGS_FILE"
}

zobran_install_packages
zobran_build "$ZOBRAN_ROOT/build-release" Release -DBUILD_TESTING=OFF

"$ZOBRAN_ROOT/tests/fixtures/pgserver.sh" start "$DEMO_DIR" demo
export ODBCSYSINI="$DEMO_DIR/odbc"

fill_connection_settings "$(zobran_server_value "$DEMO_DIR" SOCKET_DIR)" shop_hq \
    "$(zobran_server_value "$DEMO_DIR" LOGIN)" "$(zobran_server_value "$DEMO_DIR" PASSWORD)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): run it as  xvfb-run -a scripts/demo.sh" >&2
    exit 1
fi

zobran_say "demo server: $(zobran_server_value "$DEMO_DIR" SOCKET_DIR) (driver SQL Server, login zobran)"
exec "$ZOBRAN_ROOT/build-release/src/zobran"
