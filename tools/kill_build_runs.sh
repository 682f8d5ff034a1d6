#!/usr/bin/env bash
# Build-time runs killed at random moments, a few at a time, against a store of a few
# projects; afterwards checks that nothing is broken and nothing is left behind.
#
#   tools/kill_build_runs.sh [program [runs [parallel [longest delay in microseconds]]]]
#
# Builds nothing: it takes the built program (build/verdo unless told otherwise), copies
# it into a temporary program folder, makes the store there and adds three projects
# that raise their fourth file-version part by one at every run and export into
# folders inside the temporary folder. Each run is killed after a random delay, unless
# it ends first. A run takes about 10 ms alone and longer while several share the
# processors; delays of up to 30 ms spread the kills over the whole run and let some
# runs complete.
#
# What can be checked afterwards, and why:
# - The store passes PRAGMA integrity_check.
# - Versions. A run raises its project's number and commits before it ends; a run killed
#   before its commit leaves no trace in the store, one killed after it leaves its
#   increment. A run that ends with status 0 and says nothing on standard error has
#   committed (a build-time run that fails says so there). So for each project:
#   runs that completed  <=  increments in the store  <=  runs started.
# - Resource files. Each is replaced in one rename, so it is always complete: its first
#   32 bytes are the empty resource header, the second header's data size matches the
#   file, and the length words of the version information fit inside each other. A run
#   puts its file in place only after the store has taken its numbers, so a file never
#   carries a number the store lacks: it carries the store's number, or an older one
#   when the run was killed between its commit and the rename (the next run writes the
#   file anew).
# - Temporary files. A writer puts its bytes into a file without a name and names it only
#   for the rename, so a killed run leaves a named temporary file only when killed
#   between these two calls; any run after that removes such files of writers that are
#   gone. They are counted right after the kills; after one more completed run per
#   project none may be left, in the program folder or the export folders.
set -euo pipefail

program=${1:-build/verdo}
runs=${2:-500}
parallel=${3:-4}
longest=${4:-30000}

for tool in timeout python3; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 2; }
done
[ -x "$program" ] || { echo "no program at $program: build it first" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/verdo-kill-XXXXXX")
trap 'rm -rf "$work"' EXIT
folder="$work/program"
results="$work/results"
mkdir -p "$folder" "$results" "$folder/out1" "$folder/out2" "$folder/out3"
cp "$program" "$folder/verdo"

# The first run makes the store; project 1 does not exist.
"$folder/verdo" 1
python3 - "$folder" <<'EOF'
import sqlite3, sys
folder = sys.argv[1]
db = sqlite3.connect(folder + "/VERDO")
for number, name, out in ((11, "ALPHA", "out1"), (12, "BETA", "out2"), (13, "GAMMA", "out3")):
    db.execute("INSERT INTO RESFile (RESNumber, ProjectName, ProjectPath, FV_1, FV_4, INC_FV_4, LangID, CodePage,"
               " FileOS, FileType, CompanyName) VALUES (?, ?, ?, 1, 0, 1, '0409', '04b0', x'04000400', x'01', 'ACME')",
               (number, name, folder + "/" + out + "/"))
db.commit()
db.close()
EOF

run_one() {
  local index=$1 project=$2 delay=$3 status=0
  timeout --foreground -s KILL "$delay" "$folder/verdo" "$project" >/dev/null 2>"$results/$index.err" || status=$?
  echo "$project $status" >"$results/$index"
}

echo "$runs runs, $parallel at a time, each killed after up to $longest microseconds"
for ((i = 1; i <= runs; i++)); do
  project=$((11 + RANDOM % 3))
  microseconds=$((100 + (RANDOM * 32768 + RANDOM) % longest))
  run_one "$i" "$project" "$(printf '%d.%06d' $((microseconds / 1000000)) $((microseconds % 1000000)))" &
  if ((i % parallel == 0)); then wait; fi
done
wait

python3 - "$folder" "$results" "$runs" <<'EOF'
import os, sqlite3, struct, subprocess, sys

folder, results, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
projects = {11: ("ALPHA", "out1"), 12: ("BETA", "out2"), 13: ("GAMMA", "out3")}
problems = []

started = {p: 0 for p in projects}
completed = {p: 0 for p in projects}
killed = 0
for index in range(1, runs + 1):
    project, status = map(int, open(os.path.join(results, str(index))).read().split())
    errors = open(os.path.join(results, "%d.err" % index), "rb").read()
    started[project] += 1
    if status == 0 and not errors:
        completed[project] += 1
    elif status in (124, 137):  # timed out and killed
        killed += 1
    else:
        problems.append("run %d of project %d ended with %d: %r" % (index, project, status, errors[:200]))

def store_versions():
    db = sqlite3.connect("file:%s/VERDO?mode=ro" % folder, uri=True)
    check = db.execute("PRAGMA integrity_check").fetchone()[0]
    versions = dict(db.execute("SELECT RESNumber, FV_4 FROM RESFile WHERE RESNumber IN (11, 12, 13)").fetchall())
    db.close()
    return check, versions

def resource_version(path):
    data = open(path, "rb").read()
    empty = struct.pack("<IIHHHHIHHII", 0, 32, 0xFFFF, 0, 0xFFFF, 0, 0, 0, 0, 0, 0)
    if len(data) < 200 or data[:32] != empty:
        return None, "does not start with the empty resource header"
    data_size, header_size = struct.unpack_from("<II", data, 32)
    if header_size != 32 or 64 + data_size != len(data):
        return None, "data size %d does not match the file's %d bytes" % (data_size, len(data))
    info, = struct.unpack_from("<H", data, 64)
    file_info, = struct.unpack_from("<H", data, 156)
    table, = struct.unpack_from("<H", data, 192)
    if info != data_size or not (156 + file_info <= 64 + info and 192 + table <= 156 + file_info):
        return None, "length words %d, %d, %d do not fit" % (info, file_info, table)
    signature = data.find(struct.pack("<I", 0xFEEF04BD))
    if signature < 0:
        return None, "no fixed file information"
    _, _, ms, ls = struct.unpack_from("<IIII", data, signature)
    return ls & 0xFFFF, None

def leftovers():
    allowed = {"verdo", "VERDO", "VERDO-wal", "VERDO-shm", "VERDO.INI", "out1", "out2", "out3"}
    found = [name for name in os.listdir(folder) if name not in allowed]
    for number, (name, out) in projects.items():
        found += [out + "/" + entry for entry in os.listdir(os.path.join(folder, out)) if entry != name + ".RES"]
    return found

check, versions = store_versions()
if check != "ok":
    problems.append("integrity_check: " + check)
print("runs: %d started, %d completed, %d killed" % (runs, sum(completed.values()), killed))
for number, (name, out) in projects.items():
    version = versions.get(number)
    line = "project %d: %d started, %d completed, version %s" % (number, started[number], completed[number], version)
    if version is None or not completed[number] <= version <= started[number]:
        problems.append(line + ": not between completed and started")
    path = os.path.join(folder, out, name + ".RES")
    if os.path.exists(path):
        written, broken = resource_version(path)
        line += ", file carries %s" % written
        if broken:
            problems.append("%s: %s" % (path, broken))
        elif version is not None and written > version:
            problems.append("%s carries %d, ahead of the store's %d" % (path, written, version))
    elif completed[number]:
        problems.append(path + " is missing after completed runs")
    print(line)
settings = os.path.join(folder, "VERDO.INI")
if open(settings, "rb").read() != b"[__Dont_Touch_Me__]\nSectors=0\n":
    problems.append("VERDO.INI changed: %r" % open(settings, "rb").read()[:200])

first = leftovers()
print("temporary files right after the kills: %d %s" % (len(first), " ".join(first)))
for number in projects:
    subprocess.run([os.path.join(folder, "verdo"), str(number)], check=True)
check, versions = store_versions()
for number, (name, out) in projects.items():
    written, broken = resource_version(os.path.join(folder, out, name + ".RES"))
    if broken or written != versions[number]:
        problems.append("after a completed run project %d's file carries %s (%s), the store %s"
                        % (number, written, broken, versions[number]))
last = leftovers()
if last:
    problems.append("left after one completed run per project: " + " ".join(last))

for problem in problems:
    print("PROBLEM: " + problem)
print("FAILED" if problems else "PASSED")
sys.exit(1 if problems else 0)
EOF
