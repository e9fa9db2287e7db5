#!/bin/bash
# Checks that the sources keep to the layers: every #include of a project
# header goes along an allowed direction, and no Qt header is included
# outside the window (src/app) and the picture tool (tools/pictures).
#
#   scripts/check_layers.sh [ROOT]     ROOT defaults to the repository
#
# Prints one line per offending include, "file:line: rule", and exits 1 when
# there is any; exits 0 with a one-line summary otherwise.
#
# The allowed directions (a layer may include itself and what is listed):
#   model ← files ← link;  model ← editor;  model ← ui;
#   {model, files, editor, ui} ← document;  {model, files, link} ← sim;
#   src/app and tools/* may include every layer.
# Tests, benchmarks and fuzz targets are not checked here: each links only the
# layers it exercises, so the build itself refuses a header from elsewhere.
set -u -o pipefail

root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
if [ ! -d "$root/src" ]; then
  echo "check_layers: $root has no src folder" >&2
  exit 2
fi

cd "$root" || exit 2
mapfile -d '' sources < <(find src tools -type f \
  \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' -o -name '*.c' \) \
  -print0 2>/dev/null | sort -z)
if [ "${#sources[@]}" -eq 0 ]; then
  echo "check_layers: no sources under $root/src or $root/tools" >&2
  exit 2
fi

awk '
BEGIN {
  allowed["model"] = "model"
  allowed["files"] = "model files"
  allowed["link"] = "model files link"
  allowed["editor"] = "model editor"
  allowed["ui"] = "model ui"
  allowed["document"] = "model files editor ui document"
  allowed["sim"] = "model files link sim"
  allowed["app"] = "*"
  layers = "model files link editor ui document sim app"
  split(layers, list, " ")
  for (i in list) isLayer[list[i]] = 1
  bad = 0
}

# The folder a source file belongs to: a layer name for src/<layer>/...,
# "tools" for anything under tools/.
function Owner(path,    parts) {
  split(path, parts, "/")
  return parts[1] == "src" ? parts[2] : "tools"
}

# dir/name with "." and ".." taken out.
function Normalise(dir, name,    parts, n, i, out, k) {
  n = split(dir "/" name, parts, "/")
  k = 0
  for (i = 1; i <= n; i++) {
    if (parts[i] == "" || parts[i] == ".") continue
    if (parts[i] == ".." && k > 0) { k--; continue }
    out[++k] = parts[i]
  }
  name = ""
  for (i = 1; i <= k; i++) name = name (i > 1 ? "/" : "") out[i]
  return name
}

# The layer an include names, or "" for a header of no layer. Project
# headers are included as "layer/name.h" (or <layer/name.h>); a path with ".." is resolved from
# the including file, so "../link/x.h" counts as the link layer.
function TargetLayer(path, name,    dir, resolved, parts) {
  if (name ~ /(^|\/)\.\.\//) {
    dir = path
    sub(/\/[^\/]*$/, "", dir)
    resolved = Normalise(dir, name)
    split(resolved, parts, "/")
    return parts[1] == "src" && (parts[2] in isLayer) ? parts[2] : ""
  }
  if (name !~ /\//) return ""
  split(name, parts, "/")
  return (parts[1] in isLayer) ? parts[1] : ""
}

function Report(text) {
  print FILENAME ":" FNR ": " text
  bad++
}

FNR == 1 {
  owner = Owner(FILENAME)
  qtAllowed = FILENAME ~ /^src\/app\// || FILENAME ~ /^tools\/pictures\//
  if (owner != "tools" && !(owner in allowed)) {
    Report("src/" owner " is no layer: add it to the allowed directions in scripts/check_layers.sh and HACKING.md")
    nextfile
  }
}

/^[ \t]*#[ \t]*include[ \t]*[<"]/ {
  line = $0
  sub(/^[ \t]*#[ \t]*include[ \t]*/, "", line)
  open = substr(line, 1, 1)
  closer = open == "<" ? ">" : "\""
  name = substr(line, 2)
  end = index(name, closer)
  if (end == 0) next
  name = substr(name, 1, end - 1)

  if (open == "<" && name ~ /^(Q|qt)/ && !qtAllowed) {
    Report("Qt header <" name "> outside src/app and tools/pictures: this code stays free of Qt")
    next
  }
  if (owner == "tools" || allowed[owner] == "*") next
  target = TargetLayer(FILENAME, name)
  if (target == "") next
  if (index(" " allowed[owner] " ", " " target " ") == 0)
    Report(owner " includes \"" name "\" of layer " target ": " owner " may include only " allowed[owner])
}

END {
  if (bad > 0) {
    print bad " include(s) against the layers" > "/dev/stderr"
    exit 1
  }
  print "layers: " NR " lines in " ARGC - 1 " files; every include follows the allowed directions"
}
' "${sources[@]}"
