#!/usr/bin/env bash
# Trains the digit recogniser from scratch and writes data/ocr/digit_weights.bin.
#
# usage: tools/ocr/train.sh [NONET_BINARY] [PHOTO_DIR] [WORK_DIR]
#   NONET_BINARY  the built command-line tool (default build/cli/nonet)
#   PHOTO_DIR     newspaper photos with .dat ground truth (default ../shared/photos/newspaper)
#   WORK_DIR      scratch space for rendered pictures and patch dumps (default a temporary folder)
#
# Every step is seeded, so the same inputs give the same table. The patches come
# from the engine itself (nonet ocr --dump-patches): training sees exactly what
# recognition sees. Every 4th photo (sorted by name) is held out for evaluation:
#   nonet ocr --eval PHOTO_DIR --subset test
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
nonet="${1:-$root/build/cli/nonet}"
photos="${2:-$root/../shared/photos/newspaper}"
work="${3:-$(mktemp -d)}"
synthetic_count="${SYNTHETIC_COUNT:-1000}"
seed=20261206
py=/usr/bin/python3
[ -x "$py" ] || py=python3

mkdir -p "$work/synth"
half=$((synthetic_count / 2))
"$py" "$here/render_grids.py" "$work/synth" 0 "$half" "$seed" &
"$py" "$here/render_grids.py" "$work/synth" "$half" "$((synthetic_count - half))" "$seed"
wait
"$nonet" ocr --dump-patches "$work/synth.bin" "$work/synth"
"$nonet" ocr --dump-patches "$work/photos.bin" --subset train "$photos"
"$py" "$here/train.py" "$root/data/ocr/digit_weights.bin" "$work/synth.bin" "$work/photos.bin:4"
echo "rebuild the library to embed the new table; then: $nonet ocr --eval $photos --subset test"
