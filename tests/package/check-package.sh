#!/usr/bin/env bash
# Builds the Debian package from a built tree, unpacks it into a scratch root with dpkg -x and checks
# it as an installation: the files stand where the menu entry and the manual pages say, every
# program has its page, the dependencies are there, OSQL -? runs from the unpacked tree, and the
# unpacked zobran --register-driver makes a "SQL Server" registration that unixODBC loads.
#
#   check-package.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail

readonly build=$1 scratch=$2
readonly ME=check-package.sh
failures=0

fail() {
    echo "$ME: FAILED: $*" >&2
    failures=$((failures + 1))
}
ok() { echo "$ME: ok: $*"; }

rm -rf "$scratch"
mkdir -p "$scratch"

# --- the package ------------------------------------------------------------------------------------
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log" >&2
    echo "$ME: cpack failed" >&2
    exit 1
}
mapfile -t debs < <(find "$scratch/out" -maxdepth 1 -name 'zobran_*.deb')
[ "${#debs[@]}" -eq 1 ] || { echo "$ME: expected one zobran_*.deb, found: ${debs[*]:-none}" >&2; exit 1; }
readonly deb=${debs[0]}
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ "$(basename "$deb")" = "zobran_${version}_$(dpkg --print-architecture).deb" ] &&
    ok "file name $(basename "$deb")" || fail "file name $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
depends=$(field Depends)
for needed in libqt6widgets6 libqt6core6 libodbc2 libqt6keychain1; do
    [[ ",$depends," =~ [,\ ]$needed[\ ,\(] ]] && ok "depends on $needed" || fail "Depends lacks $needed: $depends"
done
[[ "$(field Recommends)" == *tdsodbc* ]] && ok "recommends tdsodbc" || fail "Recommends: $(field Recommends)"

# --- the unpacked files -----------------------------------------------------------------------------
readonly root=$scratch/root
dpkg -x "$deb" "$root"

# The menu entry: its program on the path of an installed system, its icon in the icon theme, a
# category of the menu's development or database section.
desktop=$root/usr/share/applications/zobran.desktop
[ -f "$desktop" ] || { echo "$ME: no menu entry in the package" >&2; exit 1; }
entry() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
for key in Exec TryExec; do
    program=$(entry "$key" | cut -d' ' -f1)
    [ -n "$program" ] && [ -x "$root/usr/bin/$program" ] && ok "$key=$program is /usr/bin/$program" ||
        fail "$key=$program: not an executable in /usr/bin"
done
icon=$(entry Icon)
icons=$(find "$root/usr/share/icons/hicolor" -path "*/apps/$icon.*" \( -name '*.svg' -o -name '*.png' \) 2>/dev/null)
[ -n "$icon" ] && [ -n "$icons" ] && ok "Icon=$icon is ${icons#"$root"}" || fail "Icon=$icon not in the icon theme"
[[ ";$(entry Categories);" =~ \;(Development|Database)\; ]] && ok "Categories=$(entry Categories)" ||
    fail "Categories=$(entry Categories)"
[ "$(entry Type)" = Application ] || fail "Type=$(entry Type)"

# The manual pages: each names a program that is installed, and each program has one.
for page in "$root"/usr/share/man/man1/*.1.gz; do
    [ -e "$page" ] || { fail "no manual pages"; break; }
    name=$(zcat "$page" | sed -n 's/^\.TH \([^ ]*\) 1 .*/\1/p' | head -n 1)
    program=$(basename "$page" .1.gz)
    [ "${name,,}" = "${program,,}" ] || fail "${page#"$root"} is titled $name"
    zcat "$page" | grep -qF -- "$program" && [ -x "$root/usr/bin/$program" ] &&
        ok "${page#"$root"} describes /usr/bin/$program" || fail "${page#"$root"}: /usr/bin/$program missing"
done
for program in "$root"/usr/bin/*; do
    [ -f "$root/usr/share/man/man1/$(basename "$program").1.gz" ] && ok "$(basename "$program") has a manual page" ||
        fail "$(basename "$program") has no manual page"
done

# --- running from the unpacked tree -----------------------------------------------------------------
usage=$("$root/usr/bin/OSQL" -? 2>&1) && [[ "$usage" == "usage: OSQL "* ]] && ok "OSQL -? runs" ||
    fail "OSQL -? gave: $usage"

# zobran --register-driver, in a home of its own, with a system list that does not name the driver:
# unixODBC then loads FreeTDS under "SQL Server" and reaches the connection step.
if [ -e /usr/lib/*/odbc/libtdsodbc.so ] && command -v isql >/dev/null; then
    mkdir -p "$scratch/home" "$scratch/etc"
    : >"$scratch/etc/odbcinst.ini"
    if HOME=$scratch/home ODBCSYSINI=$scratch/etc "$root/usr/bin/zobran" --register-driver; then
        reply=$(HOME=$scratch/home ODBCSYSINI=$scratch/etc timeout 60 \
            isql -v -k "Driver={SQL Server};Server=127.0.0.1,1;Uid=sa;Pwd=x" 2>&1 || true)
        [[ "$reply" == *"[FreeTDS]"* ]] && ok "the registered driver is FreeTDS and reaches the connection step" ||
            fail "isql through the registration: $reply"
    else
        fail "zobran --register-driver failed"
    fi
else
    fail "FreeTDS (tdsodbc) or isql (unixodbc) is missing"
fi

[ "$failures" -eq 0 ] || { echo "$ME: $failures check(s) failed" >&2; exit 1; }
echo "$ME: the package $(basename "$deb") is complete"
