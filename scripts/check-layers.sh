#!/usr/bin/env bash
# Fails when a layer includes a layer above it. Includes are rooted at src/, so
# the first folder of an include names the layer it comes from.
set -euo pipefail
src=$(cd "$(dirname "$0")/../src" && pwd)

# What each layer may include besides itself.
declare -A allowed=(
  [memory]=""
  [model]="memory"
  [formats]="model"
  [search]="formats model"
  [calendar]="model"
  [merge]="formats model"
  [document]="merge search calendar formats model"
  [book]="document merge search calendar formats model"
  [platform]=""
  [dialogs]="book platform document merge search calendar formats model"
  [views]="book platform document merge search calendar formats model"
  [charts]="book views platform document merge search calendar formats model"
  [mainwindow]="book charts views dialogs platform document merge search calendar formats model"
  [app]="book mainwindow charts views dialogs platform document merge search calendar formats model"
)
layers=" ${!allowed[*]} "
status=0
for dir in "$src"/*/; do
  layer=$(basename "$dir")
  [[ $layer == resources ]] && continue
  if [[ -z ${allowed[$layer]+x} ]]; then
    echo "check-layers: src/$layer is no known layer; add it to scripts/check-layers.sh" >&2
    status=1
    continue
  fi
  while IFS=: read -r file line include; do
    target=${include%%/*}
    [[ $layers == *" $target "* ]] || continue
    [[ $target == "$layer" || " ${allowed[$layer]} " == *" $target "* ]] && continue
    echo "check-layers: ${file#"$src"/}:$line: $layer may not include $include" >&2
    status=1
  done < <(grep -rnoE '^#include "[^"]+"' "$dir" | sed -E 's/#include "([^"]+)"/\1/')
done

# The model's internal headers serve its own sources and the tests only.
internal='model/BirthSortDetail\.h'
while IFS=: read -r file line _; do
  [[ ${file#"$src"/} == model/* ]] && continue
  echo "check-layers: ${file#"$src"/}:$line: includes a header internal to the model" >&2
  status=1
done < <(grep -rnE "^#include \"($internal)\"" "$src" || true)
for dir in bench fuzz; do
  [[ -d $src/../$dir ]] || continue
  if grep -rnE "^#include \"($internal)\"" "$src/../$dir"; then
    echo "check-layers: $dir includes a header internal to the model" >&2
    status=1
  fi
done
exit $status
