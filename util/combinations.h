// The process-wide table of combinations k out of n (0 <= k <= n <= 9) and the
// small digit-mask helpers shared by the solver and the generator.
#pragma once

#include "util/export.h"

extern "C" {
// n_combs[n][k] = C(n, k); 0 when k > n.
NONET_EXPORT extern int n_combs[10][10];
// combs_for_n_k[n][k][i] points at the i-th (lexicographic) combination: k ascending ints from 0..n-1.
NONET_EXPORT extern int** combs_for_n_k[10][10];

// Builds the table once per process (safe under concurrent first use).
NONET_EXPORT void initialize_comb_routine(void);
NONET_EXPORT int n_combinations(int n, int k);
NONET_EXPORT int const* combination_for_combnumber(int n, int k, int index);
// Lexicographic successor in place; c[k-1] == 0 means "not started" (k >= 2).
NONET_EXPORT bool generate_combination(int k, int n, int* c);
NONET_EXPORT bool generate_combination_kequals1(int n, int* c);
NONET_EXPORT bool generate_combination1(int k, int n, int* c);
NONET_EXPORT void initialize_comb(int n, int* a);
// k Fisher-Yates steps from the end of a[0..n-1]; returns a + n - k (a random k-subset).
NONET_EXPORT int* random_combination(int k, int n, int* a);
// Writes the values of 0..n-1 missing from the ascending k-combination c into out; returns n.
NONET_EXPORT int inverse_combination(int n, int k, int const* c, int* out);
// Position (1..31) of the n-th set bit counted from bit 1; 0 when n < 1 or there are too few bits.
NONET_EXPORT int find_nth_nonzero_bit(int mask, int n);
// 1 << find_nth_nonzero_bit(mask, n); 1 when n < 1.
NONET_EXPORT int get_nth_nonzero_bit(int mask, int n);
// Sets the n-th clear bit (counted from bit 1) of mask; mask unchanged when n < 1.
NONET_EXPORT int set_nth_zero_bit(int mask, int n);
}

// Stable insertion sort into descending key order, moving items along.
NONET_EXPORT void sort_by_insertion(int* keys, int n, void** items);
// Stable insertion sort ascending, moving the parallel array along.
NONET_EXPORT void sort_by_insertion_ascending(int* keys, int n, int* items);
NONET_EXPORT void sort_by_insertion_ascending(int* keys, int n);
