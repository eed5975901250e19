#!/usr/bin/env bash
# Packs the Windows command line: quillmere-cli-VERSION-win64.zip with the
# program, a short Chinese guide (使用说明.txt, CR LF, UTF-8 with a byte-order
# mark so that Notepad opens it as such), the examples, the licence and the
# licences of what the program carries inside it.
#   scripts/windows_zip.sh EXE VERSION OUT_DIR
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
exe="$1" version="$2" out_dir="$3"
name="quillmere-cli-$version-win64"
python3 - "$root" "$exe" "$version" "$out_dir/$name.zip" "$name" <<'PY'
import os, sys, zipfile

root, exe, version, target, name = sys.argv[1:]

def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")

guide = open(os.path.join(root, "packaging", "windows", "使用说明.txt"), encoding="utf-8").read()
guide = "\ufeff" + crlf(guide.replace("@VERSION@", version))
licence = crlf(open(os.path.join(root, "LICENSE"), encoding="utf-8").read())

entries = [("quillmere-cli.exe", open(exe, "rb").read()),
           ("使用说明.txt", guide.encode("utf-8")),
           ("LICENSE.txt", licence.encode("utf-8")),
           # What the program carries inside it (zlib, the MinGW-w64 runtime, CLI11 ...) and their licences.
           ("COPYRIGHT.txt", crlf(open(os.path.join(root, "packaging", "copyright"), encoding="utf-8").read()).encode("utf-8"))]
sample = os.path.join(root, "examples", "sample")
for file in sorted(f for f in os.listdir(sample) if not f.startswith(".")):
    entries.append(("examples/" + file, open(os.path.join(sample, file), "rb").read()))
entries.append(("examples/README.md", crlf(open(os.path.join(root, "examples", "README.md"), encoding="utf-8").read()).encode("utf-8")))

# Fixed times and order: the same inputs give the same archive. Names that are
# not ASCII are marked UTF-8 in the archive, which Windows' own unzipping reads.
with zipfile.ZipFile(target + ".part", "w", zipfile.ZIP_DEFLATED) as archive:
    for path, data in entries:
        info = zipfile.ZipInfo(name + "/" + path, date_time=(2024, 1, 1, 0, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        archive.writestr(info, data)
os.replace(target + ".part", target)
print(target)
PY
