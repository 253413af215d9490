#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each briefly.
#   tests/fuzz/run.sh [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/../.."
secs="${1:-${FUZZ_SECONDS:-20}}"
out=build/fuzz
mkdir -p "$out"
CXX=${FUZZ_CXX:-clang++}
if ! command -v "$CXX" >/dev/null; then
  echo "fuzz: $CXX not found, skipped" >&2
  exit 0
fi
QT_INC=$(pkg-config --cflags Qt6Core Qt6Gui)
QT_LIB=$(pkg-config --libs Qt6Core Qt6Gui)
FLAGS="-std=c++20 -O1 -g -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -Isrc"
# Sources each target needs (window-free store code).
COMMON="src/platform/Codec.cpp src/store/QuotedFieldFile.cpp src/store/Numbers.cpp"
declare -A EXTRA_SOURCES=()
declare -A TARGETS=(
  [fuzz_table_reader]="tests/fuzz/fuzz_table_reader.cpp"
  [fuzz_numbers]="tests/fuzz/fuzz_numbers.cpp"
  [fuzz_archive]="tests/fuzz/fuzz_archive.cpp"
  [fuzz_customer_csv]="tests/fuzz/fuzz_customer_csv.cpp"
  [fuzz_site_import]="tests/fuzz/fuzz_site_import.cpp"
  [fuzz_product_csv]="tests/fuzz/fuzz_product_csv.cpp"
)
EXTRA_SOURCES[fuzz_archive]="src/store/BackupArchive.cpp src/store/SaveTransaction.cpp src/platform/AppPaths.cpp src/store/Database.cpp src/store/Table.cpp"
EXTRA_SOURCES[fuzz_product_csv]="src/products/ProductCsv.cpp src/products/ProductLookup.cpp src/store/CsvFile.cpp src/store/TextEntry.cpp src/store/Table.cpp src/store/Database.cpp src/platform/AppPaths.cpp"
CUSTOMER_SOURCES="src/customers/CustomerFields.cpp src/customers/GuestKeys.cpp src/store/CsvFile.cpp src/store/TextEntry.cpp src/store/Table.cpp src/store/Database.cpp src/platform/AppPaths.cpp"
EXTRA_SOURCES[fuzz_customer_csv]="src/customers/CustomerCsv.cpp $CUSTOMER_SOURCES"
EXTRA_SOURCES[fuzz_site_import]="src/customers/SiteImport.cpp $CUSTOMER_SOURCES"
status=0
for t in "${!TARGETS[@]}"; do
  # shellcheck disable=SC2086
  $CXX $FLAGS $QT_INC ${TARGETS[$t]} $COMMON ${EXTRA_SOURCES[$t]:-} -o "$out/$t" $QT_LIB
  mkdir -p "$out/corpus-$t"
  if [ -d "tests/fuzz/seeds/$t" ]; then cp -n tests/fuzz/seeds/$t/* "$out/corpus-$t/" 2>/dev/null || true; fi
  echo "fuzz: $t for ${secs}s"
  if ! "$out/$t" -max_total_time="$secs" -print_final_stats=0 "$out/corpus-$t" >"$out/$t.log" 2>&1; then
    echo "fuzz: $t FAILED" >&2
    tail -40 "$out/$t.log" >&2
    status=1
  fi
done
[ $status -eq 0 ] && echo "fuzz: all targets ran clean"
exit $status
