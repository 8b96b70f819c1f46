#!/usr/bin/env bash
# Times the program's script generation and grid against pg_dump and psql on a private server, and
# prints one table. Not a test and not part of CI: run it by hand on a quiet machine.
#
#   scripts/bench.sh [--rows N] [--runs N] [--build DIR] [--keep DIR]
#
#   --rows N     rows of the bench table (default 1000000)
#   --runs N     runs of every tool (default 3); the tools take turns run by run, so every ratio
#                compares runs made under the same load
#   --build DIR  where zobran-bench is built (default build-bench/, a Release build)
#   --keep DIR   keep the server and the written files in DIR (default: a temporary folder, removed)
#
# It starts its own private server with tests/fixtures/pgserver.sh, fills the table bench_items
# from a seeded generator (scripts/bench-table.sql), then times, each run:
#   pg_dump --data-only --column-inserts into a file   (the reference: ratio 1.00)
#   psql \copy into a file                             (what reading the rows costs at least)
#   zobran-bench generate, SQL and KX kind, limit 0 and 100000   (the Generate Script window's classes)
#   zobran-bench grid: the grid filled and shown, then sorted by id and by name
# Wall time is the median (and the minimum) over the runs; CPU is user + system time of the client
# process (the server's share is not counted for any tool); peak RSS is the client's.
set -euo pipefail

# shellcheck source=scripts/lib.sh
. "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib.sh"

rows=1000000
runs=3
build="$ZOBRAN_ROOT/build-bench"
keep=""
while [ $# -gt 0 ]; do
    case "$1" in
        --rows) rows=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        --build) build=$2; shift 2 ;;
        --keep) keep=$2; shift 2 ;;
        *) echo "usage: $0 [--rows N] [--runs N] [--build DIR] [--keep DIR]" >&2; exit 2 ;;
    esac
done
[[ "$rows" =~ ^[0-9]+$ && "$rows" -gt 0 && "$runs" =~ ^[0-9]+$ && "$runs" -gt 0 ]] ||
    { echo "bench.sh: --rows and --runs take positive numbers" >&2; exit 2; }
command -v /usr/bin/time >/dev/null || { echo "bench.sh: needs GNU time (package time)" >&2; exit 1; }

zobran_install_packages
zobran_say "building zobran-bench into $build"
cmake -S "$ZOBRAN_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target zobran-bench >/dev/null
bench_program="$build/tools/bench/zobran-bench"

if [ -n "$keep" ]; then
    work=$(realpath -m "$keep")
    mkdir -p "$work"
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/zobran-bench.XXXXXX")
fi
server="$work/server"
pgserver="$ZOBRAN_ROOT/tests/fixtures/pgserver.sh"
finish() {
    "$pgserver" stop "$server" >/dev/null 2>&1 || true
    if [ -z "$keep" ]; then rm -rf "$work"; fi
}
trap finish EXIT
zobran_say "starting a private server in $server"
"$pgserver" start "$server" test >/dev/null

socket=$(zobran_server_value "$server" SOCKET_DIR)
login=$(zobran_server_value "$server" LOGIN)
password=$(zobran_server_value "$server" PASSWORD)
database=scratch
export ODBCSYSINI="$server/odbc" PGPASSWORD="$password" PGCLIENTENCODING=UTF8 XDG_RUNTIME_DIR="$work/runtime"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
connection="Driver={SQL Server};Server=$socket;Database=$database;Uid=$login;Pwd=$password"
psql_args=(-X -q -v ON_ERROR_STOP=1 -h "$socket" -U "$login" -d "$database")

zobran_say "filling bench_items with $rows rows"
psql "${psql_args[@]}" -v rows="$rows" -f "$ZOBRAN_ROOT/scripts/bench-table.sql" >/dev/null
copy_text_bytes=$(psql "${psql_args[@]}" -At -c "copy bench_items to stdout" | wc -c)
query="Select * From bench_items"

out="$work/out"
results="$work/results.txt" # one line per run: key run wall cpu rss bytes
: >"$results"
: >"$work/released.txt"

# timed KEY OUTPUT_BYTES_FILE_OR_DIR COMMAND...: one run (number $run), appended to the results.
timed() {
    local key=$1 output=$2
    shift 2
    rm -rf "$out"
    mkdir -p "$out"
    local times="$work/time.txt"
    /usr/bin/time -f "%e %U %S %M" -o "$times" "$@" >"$work/stdout.txt" 2>"$work/stderr.txt" ||
        { cat "$work/stderr.txt" >&2; return 1; }
    local wall user sys rss bytes
    read -r wall user sys rss <"$times"
    bytes=$(du -sb --apparent-size "$output" | cut -f1)
    echo "$key $run $wall $(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }') $rss $bytes" >>"$results"
}

# grid_timed RUN: the grid filled and sorted; its own figures come from the program.
grid_timed() {
    local times="$work/time.txt" line key value
    /usr/bin/time -f "%e %U %S %M" -o "$times" "$bench_program" grid "$connection" "$query" id name >"$work/grid.txt" 2>"$work/stderr.txt"
    local wall user sys rss
    read -r wall user sys rss <"$times"
    local cpu
    cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')
    while IFS='=' read -r key value; do
        case "$key" in
            shown_s) echo "grid_shown $run $value $cpu $rss 0" >>"$results" ;;
            sort_id_s) echo "grid_sort_id $run $value - - 0" >>"$results" ;;
            sort_name_s) echo "grid_sort_name $run $value - - 0" >>"$results" ;;
            rss_after_release_mib) echo "grid_released $value" >>"$work/released.txt" ;;
        esac
    done <"$work/grid.txt"
}

# A first pass warms the server's cache; it is not counted.
zobran_say "warming up"
psql "${psql_args[@]}" -c "\\copy bench_items to '/dev/null'" >/dev/null

for run in $(seq 1 "$runs"); do
    zobran_say "run $run of $runs"
    timed pg_dump "$out" /usr/lib/postgresql/15/bin/pg_dump --data-only --column-inserts -t bench_items \
        -h "$socket" -U "$login" -f "$out/dump.sql" "$database"
    timed psql_copy "$out" psql "${psql_args[@]}" -c "\\copy bench_items to '$out/copy.txt'"
    for kind in sql kx; do
        for limit in 0 100000; do
            timed "zobran_${kind}_${limit}" "$out" "$bench_program" generate "$connection" "$query" bench_items \
                "$kind" "$limit" "$out"
            sed -n 's/^rss_after_mib=/'"zobran_${kind}_${limit}"' /p' "$work/stdout.txt" >>"$work/released.txt"
        done
    done
    grid_timed
done

# Memory flat in the row count: the same generation on a tenth of the rows, for comparison.
tenth=$((rows / 10))
if [ "$tenth" -gt 0 ]; then
    run=tenth
    timed zobran_sql_0_tenth "$out" "$bench_program" generate "$connection" "$query Where id <= $tenth" bench_items \
        sql 0 "$out"
fi

# ---- import timings -----------------------------------------------------------------------------
# KX and SQL file import against `psql -f` of the same statements (target: at least as many
# statements per second). They come here once the import classes exist in src/import: zobran-bench
# then offers "import-kx FILE" and "import-sql FILE", and this part times them against
#   psql -f FILE
# on a copy of bench_items. Until then it is skipped.
if "$bench_program" 2>&1 | grep -q 'import-kx'; then
    zobran_say "import timings: not wired up yet"
else
    zobran_say "import timings skipped: zobran-bench has no import yet (the import classes are missing)"
fi

# ---- the table ------------------------------------------------------------------------------------
python3 - "$results" "$rows" "$copy_text_bytes" "$work/released.txt" <<'PY'
import statistics, sys
results, rows, copy_bytes, released = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
runs = {}
for line in open(results):
    key, run, wall, cpu, rss, size = line.split()
    runs.setdefault(key, {})[run] = (float(wall), cpu, rss, int(size))
after = {}
for line in open(released):
    key, value = line.split()
    after.setdefault(key, []).append(float(value))

median = statistics.median
reference = runs["pg_dump"]
rows_text = f"{rows:,}"
print(f"rows: {rows_text}; COPY text {copy_bytes / 2**20:.0f} MiB; runs per tool: {len(reference)}")
print()
print("| tool | rows | kind | limit | wall min / median | CPU | peak RSS | output bytes | ratio to pg_dump |")
print("|---|---|---|---|---|---|---|---|---|")
names = {
    "pg_dump": ("pg_dump --data-only --column-inserts", "", ""),
    "psql_copy": ("psql \\copy", "", ""),
    "zobran_sql_0": ("zobran-bench generate", "SQL", "0"),
    "zobran_sql_100000": ("zobran-bench generate", "SQL", "100000"),
    "zobran_kx_0": ("zobran-bench generate", "KX", "0"),
    "zobran_kx_100000": ("zobran-bench generate", "KX", "100000"),
    "grid_shown": ("zobran-bench grid: filled and shown", "", ""),
    "grid_sort_id": ("zobran-bench grid: sort by id (header click)", "", ""),
    "grid_sort_name": ("zobran-bench grid: sort by name (header click)", "", ""),
}
for key, (tool, kind, limit) in names.items():
    if key not in runs:
        continue
    by_run = runs[key]
    walls = [r[0] for r in by_run.values()]
    cpus = [float(r[1]) for r in by_run.values() if r[1] != "-"]
    rsss = [int(r[2]) for r in by_run.values() if r[2] != "-"]
    size = list(by_run.values())[-1][3]
    cpu = f"{median(cpus):.2f} s" if cpus else ""
    rss = f"{max(rsss) / 1024:.0f} MiB" if rsss else ""
    out = f"{size:,}" if size else ""
    # The ratio of each run to pg_dump's run of the same round, then their median.
    ratio = ""
    if not key.startswith("grid"):
        ratio = f"{median([by_run[r][0] / reference[r][0] for r in by_run if r in reference]):.2f}"
    print(f"| {tool} | {rows_text} | {kind} | {limit} | {min(walls):.2f} / {median(walls):.2f} s | {cpu} | {rss} | {out} | {ratio} |")
print()
if "grid_shown" in runs:
    peak = max(int(r[2]) for r in runs["grid_shown"].values()) * 1024
    print(f"grid peak RSS / COPY text of the rows: {peak / copy_bytes:.2f}")
if "zobran_sql_0_tenth" in runs and "zobran_sql_0" in runs:
    full = max(int(r[2]) for r in runs["zobran_sql_0"].values())
    tenth = max(int(r[2]) for r in runs["zobran_sql_0_tenth"].values())
    print(f"generation peak RSS at {rows_text} rows / at a tenth of them: {full / 1024:.0f} / {tenth / 1024:.0f} MiB "
          f"({full / tenth:.2f}x)")
for key in sorted(after):
    what = "the grid was released" if key.startswith("grid") else "the run"
    print(f"resident memory after {what} ({key}): {median(after[key]):.0f} MiB")
PY
