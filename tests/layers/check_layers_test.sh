#!/bin/bash
# Runs the layering check on small scratch trees, one source file each, and
# holds its verdict and message against a table of includes.
#
#   tests/layers/check_layers_test.sh PATH/TO/check_layers.sh
set -u -o pipefail

check=${1:?usage: check_layers_test.sh PATH/TO/check_layers.sh}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/check_layers.XXXXXX") || exit 2
trap 'rm -rf "$scratch"' EXIT
failures=0

# Reports a failed expectation with the check's output indented below it.
Fail() {
  echo "FAIL: $1"
  while IFS= read -r line; do echo "    $line"; done <<<"$output"
  failures=$((failures + 1))
}

# Case: FILE, INCLUDE LINE, expected exit status, a text the output must hold
# ("" when it passes). The include stands on line 3 of FILE.
cases=(
  'src/model/a.h|#include "files/b.h"|1|src/model/a.h:3: model includes "files/b.h" of layer files: model may include only model'
  'src/files/a.cpp|#include "link/b.h"|1|files may include only model files'
  'src/editor/a.cpp|#include <link/b.h>|1|editor includes "link/b.h" of layer link'
  'src/link/a.cpp|#include "editor/b.h"|1|link may include only model files link'
  'src/link/a.cpp|#include "../editor/b.h"|1|link includes "../editor/b.h" of layer editor'
  'src/editor/a.cpp|#include "ui/b.h"|1|editor may include only model editor'
  'src/ui/a.cpp|#include "editor/b.h"|1|ui may include only model ui'
  'src/ui/a.cpp|#include "app/Mianc.h"|1|of layer app'
  'src/document/a.cpp|#include "link/b.h"|1|document may include only model files editor ui document'
  'src/sim/a.cpp|#include "editor/b.h"|1|sim may include only model files link sim'
  'src/model/a.h|  #  include "link/b.h"|1|src/model/a.h:3: model includes "link/b.h"'
  'src/model/a.h|#include <QString>|1|src/model/a.h:3: Qt header <QString> outside src/app and tools/pictures'
  'src/link/a.cpp|#include <QtCore/QTimer>|1|Qt header <QtCore/QTimer>'
  'src/files/a.cpp|#include <qt6/QtCore/qglobal.h>|1|Qt header <qt6/QtCore/qglobal.h>'
  'tools/cli/a.cpp|#include <QCoreApplication>|1|tools/cli/a.cpp:3: Qt header'
  'src/panels/a.cpp|#include "model/b.h"|1|src/panels is no layer'
  'src/files/a.cpp|#include "model/b.h"|0|'
  'src/link/a.cpp|#include "files/b.h"|0|'
  'src/sim/a.cpp|#include "link/b.h"|0|'
  'src/document/a.cpp|#include "ui/b.h"|0|'
  'src/model/a.h|#include "b.h"|0|'
  'src/model/a.h|#include <queue>|0|'
  'src/model/a.h|// #include "link/b.h"|0|'
  'src/app/a.cpp|#include "sim/b.h"|0|'
  'src/app/a.cpp|#include <QWidget>|0|'
  'tools/pictures/a.cpp|#include <QImage>|0|'
  'tools/cli/a.cpp|#include "document/b.h"|0|'
)

run=0
for row in "${cases[@]}"; do
  IFS='|' read -r file include status text <<<"$row"
  run=$((run + 1))
  tree="$scratch/$run"
  mkdir -p "$tree/src/model" "$tree/$(dirname "$file")"
  printf '// scratch source\n#pragma once\n%s\nint x;\n' "$include" >"$tree/$file"
  output=$("$check" "$tree" 2>&1)
  got=$?
  if [ "$got" -ne "$status" ] || { [ -n "$text" ] && [[ "$output" != *"$text"* ]]; }; then
    Fail "$file with '$include': exit $got (expected $status, output holding '$text'):"
  fi
done

# Every offence of a tree is reported, not only the first.
tree="$scratch/several"
mkdir -p "$tree/src/model" "$tree/src/ui"
printf '#include "link/b.h"\n#include "editor/c.h"\n' >"$tree/src/model/a.h"
printf '#include "files/b.h"\n' >"$tree/src/ui/a.cpp"
output=$("$check" "$tree" 2>&1)
for text in 'src/model/a.h:1:' 'src/model/a.h:2:' 'src/ui/a.cpp:1:' '3 include(s) against the layers'; do
  if [[ "$output" != *"$text"* ]]; then
    Fail "several offences: output lacks '$text':"
  fi
done

# A folder that is no source tree is refused, not passed.
if output=$("$check" "$scratch/none" 2>&1); then
  Fail "a missing tree passed the check:"
fi

echo "$run cases and 2 trees checked, $failures failed"
[ "$failures" -eq 0 ]
