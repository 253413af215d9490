#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each briefly.
#   tests/fuzz/run.sh [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/../.."
secs="${1:-${FUZZ_SECONDS:-20}}"
explicit_secs="${1:-${FUZZ_SECONDS:-}}"  # given: every target runs that long
out=build/fuzz
# A fixed seed makes a run repeatable (FUZZ_SEED=0: a new seed each run).
seed="${FUZZ_SEED:-1}"
mkdir -p "$out"
CXX=${FUZZ_CXX:-clang++}
if ! command -v "$CXX" >/dev/null; then
  echo "fuzz: $CXX not found, skipped" >&2
  exit 0
fi
QT_INC=$(pkg-config --cflags Qt6Core Qt6Gui)
QT_LIB=$(pkg-config --libs Qt6Core Qt6Gui)
FLAGS="-std=c++20 -O1 -g -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -Isrc -Itests/support"
# Sources each target needs (window-free store code).
COMMON="src/platform/Codec.cpp src/store/QuotedFieldFile.cpp src/platform/Numbers.cpp"
declare -A EXTRA_SOURCES=()
declare -A TARGETS=(
  [fuzz_table_reader]="tests/fuzz/fuzz_table_reader.cpp"
  [fuzz_numbers]="tests/fuzz/fuzz_numbers.cpp"
  [fuzz_archive]="tests/fuzz/fuzz_archive.cpp"
  [fuzz_customer_csv]="tests/fuzz/fuzz_customer_csv.cpp"
  [fuzz_site_import]="tests/fuzz/fuzz_site_import.cpp"
  [fuzz_product_csv]="tests/fuzz/fuzz_product_csv.cpp"
  [fuzz_supplier_csv]="tests/fuzz/fuzz_supplier_csv.cpp"
  [fuzz_purchase_sheet]="tests/fuzz/fuzz_purchase_sheet.cpp"
)
EXTRA_SOURCES[fuzz_table_reader]="src/store/TableFileParse.cpp src/store/Table.cpp"
EXTRA_SOURCES[fuzz_archive]="src/store/BackupArchive.cpp src/platform/OwnerOnlyFile.cpp src/store/SaveTransaction.cpp src/store/SaveFaults.cpp src/platform/AppPaths.cpp src/store/Database.cpp src/store/Table.cpp"
EXTRA_SOURCES[fuzz_product_csv]="src/products/ProductCsv.cpp src/models/ProductLookup.cpp src/store/CsvFile.cpp src/store/TextEntry.cpp src/store/Table.cpp src/store/Database.cpp src/platform/AppPaths.cpp"
# Time of a target when none is given (default: $secs).
declare -A TARGET_SECONDS=()
# Damaged files: the whole load, the settings files, List.dat, the password
# files and the text viewer's decoder.
LOAD_SOURCES="src/store/DataStore.cpp src/store/DamagedFiles.cpp src/store/Database.cpp src/store/DatabaseList.cpp
  src/store/SaveTransaction.cpp src/store/SaveFaults.cpp src/store/SettingsFiles.cpp src/store/SharedRoutines.cpp src/store/Table.cpp
  src/store/TableFileParse.cpp src/store/Decimal.cpp src/store/TextEntry.cpp
  src/platform/AppPaths.cpp src/platform/OwnerOnlyFile.cpp src/platform/SettingsStore.cpp"
TARGETS[fuzz_database_load]="tests/fuzz/fuzz_database_load.cpp"
EXTRA_SOURCES[fuzz_database_load]="$LOAD_SOURCES tests/support/ScopedSaveFaults.cpp"
TARGET_SECONDS[fuzz_database_load]=15
TARGETS[fuzz_settings_files]="tests/fuzz/fuzz_settings_files.cpp"
EXTRA_SOURCES[fuzz_settings_files]="$LOAD_SOURCES"
TARGET_SECONDS[fuzz_settings_files]=12
TARGETS[fuzz_list_dat]="tests/fuzz/fuzz_list_dat.cpp"
EXTRA_SOURCES[fuzz_list_dat]="src/store/DatabaseList.cpp src/store/DamagedFiles.cpp src/store/Database.cpp src/store/Table.cpp
  src/store/SaveTransaction.cpp src/store/SaveFaults.cpp src/platform/AppPaths.cpp src/platform/OwnerOnlyFile.cpp"
TARGET_SECONDS[fuzz_list_dat]=10
TARGETS[fuzz_password_files]="tests/fuzz/fuzz_password_files.cpp"
EXTRA_SOURCES[fuzz_password_files]="src/admin/PasswordFile.cpp src/platform/OwnerOnlyFile.cpp src/store/SaveTransaction.cpp src/store/SaveFaults.cpp src/platform/AppPaths.cpp"
TARGET_SECONDS[fuzz_password_files]=10
TARGETS[fuzz_text_decoder]="tests/fuzz/fuzz_text_decoder.cpp"
TARGET_SECONDS[fuzz_text_decoder]=10
CUSTOMER_SOURCES="src/models/CustomerFields.cpp src/customers/GuestKeys.cpp src/store/CsvFile.cpp src/store/TextEntry.cpp src/store/Table.cpp src/store/Database.cpp src/platform/AppPaths.cpp"
EXTRA_SOURCES[fuzz_customer_csv]="src/customers/CustomerCsv.cpp $CUSTOMER_SOURCES"
EXTRA_SOURCES[fuzz_site_import]="src/customers/SiteImport.cpp $CUSTOMER_SOURCES"
EXTRA_SOURCES[fuzz_supplier_csv]="src/purchasing/SupplierList.cpp src/store/CsvFile.cpp src/store/TextEntry.cpp src/store/Table.cpp src/store/Database.cpp src/platform/AppPaths.cpp"
EXTRA_SOURCES[fuzz_purchase_sheet]="src/purchasing/PurchaseSheet.cpp src/purchasing/PurchaseCost.cpp src/purchasing/PurchaseRecords.cpp src/platform/TextOrder.cpp src/store/SharedRoutines.cpp src/store/Decimal.cpp src/store/CsvFile.cpp src/store/TextEntry.cpp src/store/Table.cpp src/store/Database.cpp src/platform/AppPaths.cpp src/platform/SettingsStore.cpp"
# The targets write many small scratch folders: a memory file system keeps
# them fast where there is one.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
# Every target is compiled first, several at once.
jobs=$(nproc 2>/dev/null || echo 2)
pids=()
for t in "${!TARGETS[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do sleep 0.2; done
  # shellcheck disable=SC2086
  $CXX $FLAGS $QT_INC ${TARGETS[$t]} $COMMON ${EXTRA_SOURCES[$t]:-} -o "$out/$t" $QT_LIB &
  pids+=($!)
done
for p in "${pids[@]}"; do wait "$p"; done
status=0
for t in "${!TARGETS[@]}"; do
  mkdir -p "$out/corpus-$t"
  if [ -d "tests/fuzz/seeds/$t" ]; then cp -n tests/fuzz/seeds/$t/* "$out/corpus-$t/" 2>/dev/null || true; fi
  run_secs="${explicit_secs:-${TARGET_SECONDS[$t]:-$secs}}"
  echo "fuzz: $t for ${run_secs}s"
  rm -f "$out/$t-"*
  if ! "$out/$t" -max_total_time="$run_secs" -print_final_stats=0 -seed="$seed" -artifact_prefix="$out/$t-" "$out/corpus-$t" \
      >"$out/$t.log" 2>&1; then
    echo "fuzz: $t FAILED" >&2
    grep -m1 "INFO: Seed:" "$out/$t.log" >&2 || true
    tail -40 "$out/$t.log" >&2
    # The input that failed, so that it can be replayed from this log alone.
    for a in $(grep -o "Test unit written to [^ ]*" "$out/$t.log" | awk '{print $5}'); do
      [ -f "$a" ] && { echo "fuzz: $a as base64:" >&2; base64 -w 0 "$a" >&2; echo >&2; }
    done
    status=1
  fi
done
[ $status -eq 0 ] && echo "fuzz: all targets ran clean"
exit $status
