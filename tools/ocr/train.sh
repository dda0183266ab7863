#!/usr/bin/env bash
# Trains the digit recogniser from scratch and writes data/ocr/digit_weights.bin.
#
# usage: tools/ocr/train.sh [BUILD_DIR] [PHOTO_DIR] [WORK_DIR]
#   BUILD_DIR     the build tree with tools/ocr_dump_patches and cli/nonet (default build)
#   PHOTO_DIR     newspaper photos with .dat ground truth (default ../shared/photos/newspaper)
#   WORK_DIR      scratch space for rendered pictures, patch dumps and cached patches
#                 (default a temporary folder; keep it to make the next run fast)
#
# Every step is seeded, so the same inputs give the same table. The patches come
# from the engine itself (ocr_dump_patches): training sees exactly what
# recognition sees. Every 4th photo (sorted by name) is held out for evaluation and
# never read here:
#   nonet ocr --eval PHOTO_DIR --subset test
# Uses at most two cores (two render processes, two BLAS threads), at low priority.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${1:-$root/build}"
dumper="$build/tools/ocr_dump_patches"
nonet="$build/cli/nonet"
photos="${2:-$root/../shared/photos/newspaper}"
work="${3:-$(mktemp -d)}"
synthetic_count="${SYNTHETIC_COUNT:-600}"
seed=20261206
# Debian's interpreter sees Debian's numpy and Pillow; another python3 on PATH may not.
py=/usr/bin/python3
if ! [ -x "$py" ] || ! "$py" -c 'import numpy, PIL' 2>/dev/null; then
  echo "train.sh: needs Debian's python3 with numpy and Pillow: bash tools/ocr/install-training-deps.sh" \
    "(apt-get install python3 python3-numpy python3-pil)" >&2
  exit 1
fi
if ! [ -x "$dumper" ]; then
  echo "train.sh: $dumper not found: build it with cmake --build $build --target ocr_dump_patches" >&2
  exit 1
fi
export OPENBLAS_NUM_THREADS=2 OMP_NUM_THREADS=2 MKL_NUM_THREADS=2

# Rendered pictures depend only on the renderer, the fonts, the seed and the count:
# they are kept under a name made of those and rendered again only when one changes.
key=$( (cat "$here/render_grids.py" "$here/fonts.py"; "$py" "$here/fonts.py"; echo "$seed $synthetic_count") |
  sha1sum | cut -c1-12)
synth="$work/synth-$key"
if [ ! -f "$synth/done" ]; then
  mkdir -p "$synth"
  half=$((synthetic_count / 2))
  nice "$py" "$here/render_grids.py" "$synth" 0 "$half" "$seed" &
  first=$!
  nice "$py" "$here/render_grids.py" "$synth" "$half" "$((synthetic_count - half))" "$seed"
  wait "$first"
  touch "$synth/done"
fi
# The dumps are made anew each time: they depend on the engine's cell extraction.
nice "$dumper" "$work/synth.bin" "$synth" &
dump=$!
nice "$dumper" "$work/photos.bin" --subset train "$photos"
wait "$dump"
nice "$py" "$here/train.py" "$root/data/ocr/digit_weights.bin" --work "$work" --photos "$work/photos.bin" \
  --synthetic "$work/synth.bin" --final
echo "rebuild the library to embed the new table; then: $nonet ocr --eval $photos --subset test"
