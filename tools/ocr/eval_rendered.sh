#!/bin/sh
# Scores the photo reader on rendered puzzle pictures of every kind: digits, drawn
# regions and diagonal marks (nonet ocr --eval --detectors).
#
# usage: eval_rendered.sh NONET WORK_DIR [held-out|dev] [-- EXTRA EVAL OPTIONS]
#
# Two fixed sets, each rendered from its own seed by render_puzzles.py (kept in
# WORK_DIR under a key of the renderer's contents, the seed and the count, and
# rendered again only when one of those changes):
#   held-out  seed 1313, 168 pictures (21 of each kind): the measure; never tuned on
#   dev       seed 42, 160 pictures: for finding failures and trying mends
# Every picture of a set is scored (--subset all). Runs at low priority.
set -eu
if [ $# -lt 2 ]; then
  echo "usage: eval_rendered.sh NONET WORK_DIR [held-out|dev] [-- EXTRA EVAL OPTIONS]" >&2
  exit 2
fi
nonet=$(realpath "$1")
work=$2
set_name=${3:-held-out}
shift 2
[ $# -gt 0 ] && shift
[ $# -gt 0 ] && [ "$1" = "--" ] && shift
case $set_name in
  held-out) seed=1313 count=168 ;;
  dev) seed=42 count=160 ;;
  *) echo "eval_rendered.sh: unknown set '$set_name' (held-out or dev)" >&2; exit 2 ;;
esac
here=$(dirname "$(realpath "$0")")
key=$(cat "$here/render_puzzles.py" "$here/render_grids.py" "$here/fonts.py" | sha256sum | cut -c1-12)
dir="$work/rendered-$set_name-$seed-$count-$key"
if [ ! -f "$dir/complete" ]; then
  rm -rf "$dir"
  echo "eval_rendered.sh: rendering $count pictures (seed $seed) into $dir" >&2
  (cd "$here" && nice -n 10 /usr/bin/python3 render_puzzles.py "$nonet" "$dir" "$count" "$seed")
  touch "$dir/complete"
fi
exec nice -n 10 "$nonet" ocr --eval "$dir" --subset all --detectors --worst 40 "$@"
