/* A host written in C99 reading classification reports through the public header: the
   record's layout, a report of a known puzzle, and the harvest readers. */
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "check.h"
#include "engine_api.h"

static char const* const kPuzzle =
    "53..7....6..195....98....6.8...6...34..8.3..17...2...6.6....28....419..5....8..79";
static char const* const kSolution =
    "534678912672195348198342567859761423426853791713924856961537284287419635345286179";

int main(void) {
  ClassifyReport report;
  int clues[81], groups[81], solution[81], i, mask, bucket, n;

  CHECK(sizeof(ClassifyReport) == 1076);
  CHECK(offsetof(ClassifyReport, level_index) == 4);
  CHECK(offsetof(ClassifyReport, n_givens) == 20);
  CHECK(offsetof(ClassifyReport, method) == 24);
  CHECK(offsetof(ClassifyReport, value) == 348);
  CHECK(offsetof(ClassifyReport, given) == 672);
  CHECK(offsetof(ClassifyReport, bucket_text) == 996);
  CHECK(offsetof(ClassifyReport, label_text) == 1012);

  for (i = 0; i < 81; ++i) {
    clues[i] = kPuzzle[i] == '.' ? 0 : kPuzzle[i] - '0';
    groups[i] = (i / 27) * 3 + (i % 9) / 3;
  }
  CHECK(sudoku_classify_clues(clues, groups, 0, 0, &report) == 1);
  CHECK(report.unique == 1 && report.solved == 1 && report.has_solution == 1);
  CHECK(report.n_givens == 30);
  CHECK(report.bucket_index >= 0 && report.bucket_index <= 9);
  CHECK(report.bucket_text[15] == 0 && report.label_text[63] == 0);
  CHECK(strlen(report.bucket_text) > 0 && strlen(report.label_text) > 0);
  for (i = 0; i < 81; ++i) {
    CHECK(report.value[i] == kSolution[i] - '0');
    CHECK(report.given[i] == (clues[i] != 0));
  }

  groups[80] = 9; /* not a group map: refused, nothing written */
  memset(&report, 0x11, sizeof report);
  CHECK(sudoku_classify_clues(clues, groups, 0, 0, &report) == 0);
  CHECK(report.bucket_index == 0x11111111);

  mask = sudoku_generate_harvest(NULL, 0, 0, 0, 0, 0);
  CHECK(mask != 0);
  sudoku_harvest_solution(solution);
  for (bucket = 0; bucket < 10; ++bucket) {
    int const filled = (mask >> bucket) & 1;
    n = sudoku_harvest_clues(bucket, clues);
    if (!filled) {
      CHECK(n == -1);
      continue;
    }
    CHECK(n >= 17 && n <= 81);
    for (i = 0; i < 81; ++i) CHECK(clues[i] == 0 || clues[i] == solution[i]);
  }
  CHECK(sudoku_harvest_clues(10, clues) == -1);

  if (failures) fprintf(stderr, "%d check(s) failed\n", failures);
  return failures ? 1 : 0;
}
