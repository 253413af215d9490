#!/usr/bin/env bash
# Dependencies point down: every room (folder) of src has a rank, and a file
# may include headers of its own room and of rooms ranked below it only.
# The code without widgets (kestrin_core: the files the rooms' CMakeLists
# give to target_sources(kestrin_core ...), with their headers) includes no
# widget header of Qt and no header of a window (a kestrin_ui file).
# Every form of include that can reach a header of ours counts: in quotes,
# and in angle brackets where the name is a file under src/ (the rooms share
# the include root src/, so <models/OrderList.h> compiles anywhere).
#   tools/check-layers.sh [--root FOLDER] [QT_WIDGET_HEADER_FOLDER...]
# The sources checked are those of FOLDER (the checkout this script is in
# unless given). Without header folders, Qt's QtWidgets and QtPrintSupport
# header folders are looked for where Debian puts them. Prints each include
# that breaks a rule and ends with 1 when there is one.
set -uo pipefail
root="$(dirname "$0")/.."
if [ "${1:-}" = --root ]; then
  root=$2
  shift 2
fi
cd "$root" || exit 2

# The rooms, lowest first (a new folder of src gets its place here).
rooms=(platform store models admin printouts expenses customers purchasing products reports ordereditor mainwindow app)
declare -A rank=()
for i in "${!rooms[@]}"; do rank[${rooms[$i]}]=$i; done

broken=0
complain() {
  echo "$1"
  broken=1
}

mapfile -t files < <(find src -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
for f in "${files[@]}"; do
  room=${f#src/}
  room=${room%%/*}
  [ -n "${rank[$room]+set}" ] || complain "$f: room \"$room\" has no rank"
done

# Every include as "file:line:text"; those of our own headers name a room.
mapfile -t includes < <(grep -HnE '^[[:space:]]*#[[:space:]]*include' "${files[@]}")
quoted='"([^"]*)"'
angled='<([^>]*)>'
# Sets target to the header of ours an include names ("" for a header of
# the system or of Qt): any name in quotes, a name in angle brackets that is
# a file of src/.
ownHeader() {
  target=""
  if [[ $1 =~ $quoted ]]; then
    target=${BASH_REMATCH[1]}
  elif [[ $1 =~ $angled ]] && [ -f "src/${BASH_REMATCH[1]}" ]; then
    target=${BASH_REMATCH[1]}
  fi
}
declare -A ownOf=()  # file -> the headers of ours it includes
arrows=0
for entry in "${includes[@]}"; do
  ownHeader "${entry#*:*:}"
  [ -n "$target" ] || continue
  f=${entry%%:*}
  line=${entry#*:}
  line=${line%%:*}
  ownOf[$f]+=" $target"
  room=${f#src/}
  room=${room%%/*}
  if [[ $target != */* ]]; then
    complain "$f:$line: \"$target\" names no room"
    continue
  fi
  to=${target%%/*}
  if [ -z "${rank[$to]+set}" ]; then
    complain "$f:$line: \"$target\": room \"$to\" has no rank"
  elif [ -n "${rank[$room]+set}" ] && [ "${rank[$to]}" -gt "${rank[$room]}" ]; then
    complain "$f:$line: \"$target\" runs up from $room to $to"
  elif [ "$to" != "$room" ]; then
    arrows=$((arrows + 1))
  fi
done

# The files of each library as the rooms' CMakeLists list them.
declare -A core=() ui=()
for cm in src/*/CMakeLists.txt; do
  dir=${cm%/CMakeLists.txt}
  while read -r lib file; do
    case $lib in
      kestrin_core) core[$dir/$file]=1 ;;
      kestrin_ui) ui[$dir/${file%.cpp}.h]=1 ;;
    esac
  done < <(awk '
    /target_sources\(/ { lib = $0; sub(/.*target_sources\([[:space:]]*/, "", lib); sub(/[[:space:]].*/, "", lib)
                         inside = 1; $0 = substr($0, index($0, "(") + 1) }
    inside { text = $0; sub(/#.*/, "", text); last = sub(/\).*/, "", text)
             n = split(text, word, /[[:space:]]+/)
             for (i = 1; i <= n; i++) if (word[i] ~ /\.cpp$/) print lib, word[i]
             if (last) inside = 0 }' "$cm")
done
# A core file's header is core too, and so is every header without a file
# of its own that core code includes.
for f in "${!core[@]}"; do
  [ -f "${f%.cpp}.h" ] && core[${f%.cpp}.h]=1
done
added=1
while [ $added = 1 ]; do
  added=0
  for f in "${!core[@]}"; do
    for h in ${ownOf[$f]:-}; do
      if [ -f "src/$h" ] && [ ! -f "src/${h%.h}.cpp" ] && [ -z "${core[src/$h]+set}" ]; then
        core[src/$h]=1
        added=1
      fi
    done
  done
done

# Qt's widget headers, by name.
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(/usr/include/*/qt6/QtWidgets /usr/include/*/qt6/QtPrintSupport
                                       /usr/include/qt6/QtWidgets /usr/include/qt6/QtPrintSupport)
declare -A widget=()
for d in "${folders[@]}"; do
  [ -d "$d" ] || continue
  for h in "$d"/*; do widget[${h##*/}]=1; done
done
[ ${#widget[@]} -gt 0 ] || complain "Qt's widget headers not found (give their folders as arguments)"

for entry in "${includes[@]}"; do
  f=${entry%%:*}
  [ -n "${core[$f]+set}" ] || continue
  line=${entry#*:}
  line=${line%%:*}
  ownHeader "${entry#*:*:}"
  if [ -n "$target" ]; then
    [ -n "${ui[src/$target]+set}" ] &&
      complain "$f:$line: \"$target\" is a window's header (kestrin_ui) in code without widgets"
  elif [[ $entry =~ $angled ]]; then
    name=${BASH_REMATCH[1]}
    [[ $name == QtWidgets/* || $name == QtPrintSupport/* || -n ${widget[$name]+set} ]] &&
      complain "$f:$line: <$name> is a widget header in code without widgets"
  fi
done

if [ $broken = 1 ]; then
  echo "check-layers: the includes above break the rules (rooms from the bottom: ${rooms[*]})"
  exit 1
fi
echo "check-layers: ${#files[@]} files, $arrows includes between rooms, all pointing down; ${#core[@]} files without widgets"
