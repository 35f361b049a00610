#!/usr/bin/env bash
# Builds Tavrin (scripts/build.sh) and writes the release archive
# dist/Tavrin-<version>-win64.zip for the people who use the bar. Every entry
# lies in one folder, Tavrin-<version>/, so "extract here" spills nothing:
#   TAVRIN.EXE             stripped
#   README.txt             the user's guide (docs/guide.md, a plain text in one
#                          fenced block) for Notepad: UTF-8 with a byte order
#                          mark, CR LF, lines of at most 70 columns
#   Tavrin-uninstall.reg   removes the settings (docs/Tavrin-uninstall.reg)
#   images/                the pictures the guide names
# The developers' README.md stays in the repository.
#
# UTF-8 with a BOM rather than Shift-JIS: Notepad on every Windows the program
# supports (7 to 11) reads it by the BOM whatever the system's code page, the
# guide may show characters Shift-JIS lacks (it names one the bar cannot
# paste), and the same file reads right outside Japanese Windows too.
#
# The same commit gives a byte-identical archive on any machine and in any
# folder: the exe carries no link time and no symbols, and every entry gets
# the commit's time (or SOURCE_DATE_EPOCH when set), in name order.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD

"$ROOT/scripts/build.sh"

# The version, from the version resource: PRODUCTVERSION 1,50,0,0 gives 1.50;
# the release date from the line beside it.
version=$(sed -n 's/^PRODUCTVERSION *\([0-9]*\),\([0-9]*\),.*/\1.\2/p' resources/Tavrin.rc)
[ -n "$version" ] || { echo "package: no PRODUCTVERSION in resources/Tavrin.rc" >&2; exit 1; }
released=$(sed -n 's/^#define TAVRIN_RELEASE_DATE "\([0-9-]*\)"$/\1/p' resources/Tavrin.rc)
[ -n "$released" ] || { echo "package: no TAVRIN_RELEASE_DATE in resources/Tavrin.rc" >&2; exit 1; }

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 315532800)
fi
export SOURCE_DATE_EPOCH

folder="Tavrin-$version"
stage="$ROOT/build/package/$folder"
rm -rf "$ROOT/build/package"
mkdir -p "$stage/images" "$ROOT/dist"

# strip writes SOURCE_DATE_EPOCH as the PE time stamp instead of the clock.
x86_64-w64-mingw32-strip -o "$stage/TAVRIN.EXE" "$ROOT/build/TAVRIN.EXE"
cp docs/Tavrin-uninstall.reg "$stage/Tavrin-uninstall.reg"
cp docs/images/*.png "$stage/images/"

# The guide is README.txt as it stands, kept in docs/guide.md as one fenced
# text block (so the repository shows it as Notepad will): the lines between
# the fences are copied, nothing is converted. README.txt must give this
# version and date in its header and history, and every line must fit a
# Notepad window that does not wrap: 70 columns, a full-width character
# counting 2 (as do the East Asian ambiguous ones such as ■ and ←, which
# Japanese fonts draw full width), and no line may start with a closing
# mark such as 。 or 」.
python3 - docs/guide.md "$stage/README.txt" "$version" "$released" <<'PY'
import sys, unicodedata
guide, out, version, released = sys.argv[1:]
lines = open(guide, encoding="utf-8").read().splitlines()
if len(lines) < 2 or lines[0] != "```text" or lines[-1] != "```" or "```" in lines[1:-1]:
    sys.exit("package: docs/guide.md must be one block, from a line ```text to a line ```")
text = lines[1:-1]

y, m, d = (int(n) for n in released.split("-"))
expected = {  # a line starting so: what it must say
    "【バージョン】": version, "【公開日】": f"{y}年{m}月{d}日", f"{version}（": f"{y}年{m}月{d}日",
    "Version:": version, "Released:": released, f"{version} (": released,
}
wrong = [start for start, want in expected.items()
         if not any(line.startswith(start) and want in line for line in text)]
if wrong:
    sys.exit(f"package: README.txt does not give version {version} of {released} at: {', '.join(wrong)}")

def columns(line):
    return sum(2 if unicodedata.east_asian_width(c) in "WFA" else 1 for c in line)

bad = []
for number, line in enumerate(text, 2):  # numbered as in docs/guide.md
    if "\t" in line:
        bad.append(f"  docs/guide.md:{number}: a tab: {line}")
    elif columns(line) > 70:
        bad.append(f"  docs/guide.md:{number}: {columns(line)} columns: {line}")
    elif line[:1] in set("。、，．」』）】〕〉》］｝"):
        bad.append(f"  docs/guide.md:{number}: starts with {line[0]}: {line}")
if bad:
    sys.exit("package: README.txt lines must fit 70 columns and start with no closing mark:\n"
             + "\n".join(bad))
with open(out, "wb") as f:
    f.write(b"\xef\xbb\xbf" + "".join(l + "\r\n" for l in text).encode("utf-8"))
PY

zipfile="$ROOT/dist/Tavrin-$version-win64.zip"
python3 - "$stage" "$zipfile" docs/guide.md <<'PY'
import os, sys, time, zipfile

stage, out, guide = sys.argv[1], sys.argv[2], sys.argv[3]
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]  # zip dates start in 1980
names = sorted(os.path.relpath(os.path.join(d, f), stage).replace(os.sep, "/")
               for d, _, files in os.walk(stage) for f in files)
# The guide's file lists name every file the zip holds.
text = open(guide, encoding="utf-8").read()
unlisted = [n for n in names if os.path.basename(n) not in text]
if unlisted:
    sys.exit(f"package: docs/guide.md does not list {', '.join(unlisted)}")
folder = os.path.basename(stage)
with zipfile.ZipFile(out + ".tmp", "w") as z:
    for name in names:
        info = zipfile.ZipInfo(f"{folder}/{name}", date_time=stamp)
        info.create_system = 0        # made "on Windows": no Unix owner or mode bits
        info.external_attr = 0x20     # FILE_ATTRIBUTE_ARCHIVE
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(os.path.join(stage, name), "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
os.replace(out + ".tmp", out)
PY

echo "package: $zipfile"
sha256sum "$zipfile"
