#!/usr/bin/env bash
# tools/check-layers.sh on small source trees of its own: every form of an
# upward include fails the check, includes that point down or name headers
# of the system and of Qt pass.
set -uo pipefail
check="$(cd "$(dirname "$0")/../.." && pwd)/tools/check-layers.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failures=0
# expect PASS|FAIL "the include line of src/store/Table.cpp" description
expect() {
  local want=$1 include=$2 what=$3 tree="$scratch/tree$RANDOM"
  mkdir -p "$tree/src/store" "$tree/src/models" "$tree/widgets"
  : >"$tree/widgets/QWidget"
  printf 'target_sources(kestrin_core PRIVATE\n  Table.cpp)\n' >"$tree/src/store/CMakeLists.txt"
  printf '#pragma once\n' >"$tree/src/store/Table.h"
  printf '#pragma once\n#include "store/Table.h"\n' >"$tree/src/models/OrderList.h"
  printf '#include "store/Table.h"\n%s\n' "$include" >"$tree/src/store/Table.cpp"
  local got=PASS
  bash "$check" --root "$tree" "$tree/widgets" >"$tree/out" 2>&1 || got=FAIL
  if [ "$got" != "$want" ]; then
    echo "check-layers-test: $what: expected $want, got $got"
    cat "$tree/out"
    failures=$((failures + 1))
  fi
}

expect FAIL '#include "models/OrderList.h"' "an upward include in quotes"
expect FAIL '#include <models/OrderList.h>' "an upward include in angle brackets"
expect FAIL '  #  include   <models/OrderList.h>' "an upward include in angle brackets, spaced"
expect FAIL '#include <QWidget>' "a widget header in code without widgets"
expect PASS '#include <store/Table.h>' "an include of its own room in angle brackets"
expect PASS '#include <vector>' "a header of the system"
expect PASS '#include <models/Other.h>' "an angle-bracket name that is no file of ours"

[ $failures = 0 ] && echo "check-layers-test: all cases as expected"
exit $((failures > 0))
