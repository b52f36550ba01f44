#!/usr/bin/env bash
# Static checks of the project's own code: formatting, cppcheck, shellcheck and pyflakes. Fails on
# any finding.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t sources < <(git ls-files '*.cpp' '*.h')

echo "lint: clang-format"
clang-format --dry-run -Werror "${sources[@]}"

echo "lint: cppcheck"
cppcheck --quiet --error-exitcode=1 --inline-suppr \
  --enable=warning,performance,portability \
  --suppressions-list=scripts/cppcheck-suppressions.txt \
  --std=c++17 --language=c++ -D__GNUC__ -DSTANDIN_MARKER=\"lint\" -DQ_OBJECT= -Dsignals=public -Dslots= -Demit= \
  -I client/startup -I . \
  "${sources[@]}"
echo "lint: shellcheck"
mapfile -t scripts < <(git ls-files | while read -r file; do
  head -n1 "$file" 2>/dev/null | grep -qE '^#!.*(ba)?sh' && echo "$file"
done)
shellcheck -x "${scripts[@]}" # -x: follow the files they source

echo "lint: pyflakes"
mapfile -t python < <(git ls-files '*.py')
pyflakes3 "${python[@]}"
echo "lint: clean"
