#!/usr/bin/env bash
# Checks every C++ file of the project against .clang-format (clang-format
# 14) and names the files that differ. Fix with: clang-format -i FILE...
set -uo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "Brak clang-format: uruchom bash scripts/setup.sh" >&2; exit 2; }
off=()
while IFS= read -r file; do
  clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || off+=("$file")
done < <(git ls-files '*.cpp' '*.h' '*.cc' ':!tests/fixtures/*')
if ((${#off[@]})); then
  echo "Pliki niezgodne z .clang-format (${#off[@]}): clang-format -i ${off[*]}" >&2
  printf '  %s\n' "${off[@]}" >&2
  exit 1
fi
echo "format: $(git ls-files '*.cpp' '*.h' '*.cc' ':!tests/fixtures/*' | wc -l) files as .clang-format has them"
