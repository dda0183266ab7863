/* A C host that draws its own random numbers with the C library's arc4random() while the
   engine is seeded. The engine keeps its own reproducible stream; the host's draws must stay
   the C library's, so two runs of this program print different values (the test runs it
   twice and compares). */
#define _DEFAULT_SOURCE /* glibc declares arc4random only outside strict C99 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "engine_api.h"

/* The solutions of a seeded generation, as 81 digits. */
static void seeded_solution(unsigned long long seed, int out[81]) {
  SudokuPuzzle* h = sudoku_new();
  int i, view[9];
  sudoku_seed_random(seed);
  if (!sudoku_generate_solution(h, SUDOKU_MAP_REGULAR, SUDOKU_ADJACENCY_NONE)) {
    fprintf(stderr, "host_random_test: generation failed\n");
    exit(1);
  }
  for (i = 0; i < 81; ++i) {
    sudoku_get_cell(h, i, view);
    out[i] = view[SUDOKU_CELL_SOLUTION];
  }
  sudoku_free(h);
}

int main(void) {
  int first[81], again[81];
  seeded_solution(12345, first);
  seeded_solution(12345, again);
  /* The engine still draws from its seeded stream: the same seed, the same grid. */
  if (memcmp(first, again, sizeof first) != 0) {
    fprintf(stderr, "host_random_test: the same seed gave two different grids\n");
    return 1;
  }
  /* Still seeded: the host's own draws. */
  sudoku_seed_random(12345);
  printf("%08lx %08lx %08lx %08lx\n", (unsigned long)arc4random(), (unsigned long)arc4random(),
         (unsigned long)arc4random(), (unsigned long)arc4random_uniform(1000000));
  sudoku_seed_random(0);
  return 0;
}
