#!/usr/bin/env bash
# Builds Tavrin (scripts/build.sh) and writes the release archive
# dist/Tavrin-<version>-win64.zip: TAVRIN.EXE (stripped), README.md, a
# README.txt copy for Notepad (UTF-8 with BOM, CR LF) and the pictures the
# README shows.
#
# The same commit gives a byte-identical archive on any machine and in any
# folder: the exe carries no link time and no symbols, and every entry gets
# the commit's time (or SOURCE_DATE_EPOCH when set), in name order.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD

"$ROOT/scripts/build.sh"

# The version, from the version resource: PRODUCTVERSION 1,50,0,0 gives 1.50.
version=$(sed -n 's/^PRODUCTVERSION *\([0-9]*\),\([0-9]*\),.*/\1.\2/p' resources/Tavrin.rc)
[ -n "$version" ] || { echo "package: no PRODUCTVERSION in resources/Tavrin.rc" >&2; exit 1; }

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 315532800)
fi
export SOURCE_DATE_EPOCH

stage="$ROOT/build/package"
rm -rf "$stage"
mkdir -p "$stage/docs/images" "$ROOT/dist"

# strip writes SOURCE_DATE_EPOCH as the PE time stamp instead of the clock.
x86_64-w64-mingw32-strip -o "$stage/TAVRIN.EXE" "$ROOT/build/TAVRIN.EXE"
cp README.md "$stage/README.md"
printf '\357\273\277' >"$stage/README.txt"
sed 's/\r*$/\r/' README.md >>"$stage/README.txt"
if compgen -G "docs/images/*.png" >/dev/null; then
  cp docs/images/*.png "$stage/docs/images/"
fi

zipfile="$ROOT/dist/Tavrin-$version-win64.zip"
python3 - "$stage" "$zipfile" <<'PY'
import os, sys, time, zipfile

stage, out = sys.argv[1], sys.argv[2]
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]  # zip dates start in 1980
names = sorted(os.path.relpath(os.path.join(d, f), stage).replace(os.sep, "/")
               for d, _, files in os.walk(stage) for f in files)
with zipfile.ZipFile(out + ".tmp", "w") as z:
    for name in names:
        info = zipfile.ZipInfo(name, date_time=stamp)
        info.create_system = 0        # made "on Windows": no Unix owner or mode bits
        info.external_attr = 0x20     # FILE_ATTRIBUTE_ARCHIVE
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(os.path.join(stage, name), "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
os.replace(out + ".tmp", out)
PY

echo "package: $zipfile"
sha256sum "$zipfile"
