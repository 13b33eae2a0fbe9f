#!/usr/bin/env bash
# Makes the distribution archives that the installer setup takes, from a built suite folder:
#   Mero6A.zip  the programs
#   Mero6B.zip  the font tables and help files, with Tutor.zip (the demo drawing folder) and
#               Chars.zip (the character cells of the stroke fonts) inside
# Usage: make_distribution.sh BUILD_FOLDER OUTPUT_FOLDER [SOURCE_TREE]
set -euo pipefail
if [[ $# -lt 2 ]]; then
  echo "usage: $0 BUILD_FOLDER OUTPUT_FOLDER [SOURCE_TREE]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
source_tree=$(cd "${3:-$(dirname "$0")/..}" && pwd)
suite=$build/MERO6
if [[ ! -d $suite ]]; then
  echo "No suite folder $suite: build the suite first." >&2
  exit 1
fi
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
rm -f "$out"/[Mm][Ee][Rr][Oo]6*.[Zz][Ii][Pp]

programs=()
data=()
for path in "$suite"/*; do
  [[ -f $path ]] || continue
  name=$(basename "$path")
  case $name in
    wutildemo) continue ;;            # a test program, not part of the suite
    *.su6 | *.SU6 | *.RPT | *.rpt | *.log) continue ;;
  esac
  if [[ -x $path ]]; then programs+=("$name"); else data+=("$name"); fi
done
if [[ ${#programs[@]} -eq 0 ]]; then
  echo "No programs in $suite." >&2
  exit 1
fi
(cd "$suite" && zip -q -9 "$out/Mero6A.zip" "${programs[@]}")

if [[ -d $build/demo ]]; then
  (cd "$build/demo" && zip -q -9 "$stage/Tutor.zip" ./*)
fi
if [[ -d $source_tree/resources/chars ]]; then
  (cd "$source_tree/resources/chars" && zip -q -r -9 "$stage/Chars.zip" . -i '*.TLC')
fi
(cd "$suite" && zip -q -9 "$out/Mero6B.zip" "${data[@]}" 2>/dev/null) || true
for extra in Tutor.zip Chars.zip; do
  [[ -f $stage/$extra ]] && (cd "$stage" && zip -q -0 "$out/Mero6B.zip" "$extra")
done
echo "Distribution archives in $out:"
ls -l "$out"/Mero6*.zip
