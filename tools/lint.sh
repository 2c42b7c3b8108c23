#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over the sources and exits non-zero on any finding.
# The Windows sources are parsed through the x64 build's compile database, rewritten for
# clang with the MinGW target and the MinGW C++ headers (clang has no code page 936
# execution charset, so that flag is dropped: it changes literals, not what parses). Files
# only the native build compiles (fuzz targets, the native test seams) come from its own
# database. Usage: tools/lint.sh [-j JOBS] [FILE...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs=1
if [[ "${1:-}" == "-j" ]]; then jobs="$2"; shift 2; fi

cmake --preset x64 -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --preset native -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null

db="$root/build/lint"
mkdir -p "$db/windows" "$db/native"
mingw_cxx=/usr/lib/gcc/x86_64-w64-mingw32/12-posix/include/c++
python3 - "$root" "$db" "$mingw_cxx" <<'PY'
import json, sys
root, db, cxx = sys.argv[1:4]
ours = lambda f: f.startswith(root + "/") and "/build/" not in f
windows = [e for e in json.load(open(f"{root}/build/x64/compile_commands.json")) if ours(e["file"])]
for e in windows:
    args = e["command"].split()
    args = [a for a in args[1:] if not a.startswith(("-fexec-charset=", "-finput-charset="))]
    e["command"] = " ".join(["clang++", "--target=x86_64-w64-mingw32", "-nostdinc++",
                             f"-isystem{cxx}", f"-isystem{cxx}/x86_64-w64-mingw32",
                             f"-isystem{cxx}/backward", "-isystem/usr/x86_64-w64-mingw32/include"] + args)
seen = {e["file"] for e in windows}
native = [e for e in json.load(open(f"{root}/build/native/compile_commands.json"))
          if ours(e["file"]) and e["file"] not in seen]
json.dump(windows, open(f"{db}/windows/compile_commands.json", "w"), indent=1)
json.dump(native, open(f"{db}/native/compile_commands.json", "w"), indent=1)
for name, entries in (("windows", windows), ("native", native)):
    with open(f"{db}/{name}/files", "w") as out:
        out.write("\n".join(sorted({e["file"] for e in entries})) + "\n")
PY

status=0
for name in windows native; do
  if (($#)); then
    files=$(for f in "$@"; do realpath "$f"; done | grep -Fxf "$db/$name/files" || true)
  else
    files=$(cat "$db/$name/files")
  fi
  [[ -n "$files" ]] || continue
  # shellcheck disable=SC2086
  echo "$files" | xargs -P "$jobs" -n 4 clang-tidy-14 -p "$db/$name" --quiet --warnings-as-errors='*' \
    2> >(grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings' >&2) \
    || status=1
done
exit $status
