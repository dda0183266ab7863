#!/usr/bin/env bash
# Compares the symbols libnonet.so exports with the list kept in api/exported_symbols.txt,
# so that an accidental export fails the build.
#
#   tools/check-exports.sh LIBRARY [LIST]            check (exit 1 and a diff on a mismatch)
#   tools/check-exports.sh --update LIBRARY [LIST]   rewrite LIST from LIBRARY
#
# After exporting something on purpose (a new SUDOKU_API call, a documented class member):
# rebuild, run the --update form on build/libnonet.so and commit the list with the change.
# If the symbol is missing from the library, api/libnonet.map has no pattern for it yet.
set -euo pipefail

update=0
if [[ ${1:-} == --update ]]; then
  update=1
  shift
fi
if (($# < 1 || $# > 2)); then
  echo "usage: $0 [--update] LIBRARY [LIST]" >&2
  exit 2
fi
library=$1
list=${2:-$(cd "$(dirname "$0")/.." && pwd)/api/exported_symbols.txt}

# Defined dynamic symbols, demangled, without address and type, sorted bytewise.
exported() {
  nm -D --defined-only --demangle "$library" | sed -E 's/^[0-9a-fA-F]* +[A-Za-z] //' | LC_ALL=C sort -u
}

if ((update)); then
  {
    echo "# Symbols exported by libnonet.so (demangled), one per line; checked by tools/check-exports.sh."
    echo "# Regenerate after an intended change: tools/check-exports.sh --update build/libnonet.so"
    exported
  } >"$list"
  echo "wrote $(grep -vc '^#' "$list") symbols to $list"
  exit 0
fi

if ! diff_out=$(diff <(grep -v '^#' "$list") <(exported)); then
  echo "libnonet.so exports differ from $list (< listed only, > exported only):" >&2
  echo "$diff_out" >&2
  echo "An intended change? Rebuild and run: $0 --update $library" >&2
  exit 1
fi
echo "exports match $list ($(grep -vc '^#' "$list") symbols)"
