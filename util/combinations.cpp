#include "util/combinations.h"

#include <atomic>
#include <mutex>

#include "util/random.h"

int n_combs[10][10];
int** combs_for_n_k[10][10];

namespace {

constexpr int kTotalCombinations = 1023 + 9;  // sum of C(n, k) over 0 <= k <= n <= 9 (+k=0 rows)
constexpr int kTotalInts = 4200;  // sum of k * C(n, k) is 4097, plus one placeholder per n for k = 0

int* combination_pointers[kTotalCombinations + 16];
int combination_ints[kTotalInts];
std::once_flag table_once;
std::atomic<bool> table_ready{false};

void build_table() {
  int** next_ptr = combination_pointers;
  int* next_int = combination_ints;
  for (int n = 0; n <= 9; ++n) {
    n_combs[n][0] = 1;
    combs_for_n_k[n][0] = next_ptr;
    *next_int = 0;  // placeholder storage of the empty combination
    *next_ptr++ = next_int++;
  }
  for (int n = 1; n <= 9; ++n) {
    for (int k = 1; k <= n; ++k) {
      int num = 1, den = 1;
      for (int i = 0; i < k; ++i) num *= n - i, den *= k - i;
      int const count = num / den;
      n_combs[n][k] = count;
      combs_for_n_k[n][k] = next_ptr;
      if (k == 1) {
        for (int i = 0; i < n; ++i) {
          *next_int = i;
          *next_ptr++ = next_int++;
        }
      } else {
        int work[9] = {0};
        while (generate_combination(k, n, work)) {
          for (int j = 0; j < k; ++j) next_int[j] = work[j];
          *next_ptr++ = next_int;
          next_int += k;
        }
      }
    }
  }
}

}  // namespace

// The lookups below sit in hot solver loops: after the build one relaxed-cost
// acquire load replaces the call_once.
void initialize_comb_routine(void) {
  if (table_ready.load(std::memory_order_acquire)) return;
  std::call_once(table_once, [] {
    build_table();
    table_ready.store(true, std::memory_order_release);
  });
}

int n_combinations(int n, int k) {
  initialize_comb_routine();
  return n_combs[n][k];
}

int const* combination_for_combnumber(int n, int k, int index) {
  initialize_comb_routine();
  return combs_for_n_k[n][k][index];
}

bool generate_combination1(int k, int n, int* c) {
  int t = 0;
  if (c[k - 1] == n - 1) {
    t = 1;
    while (t < k && c[k - t - 1] == c[k - t] - 1) ++t;
    if (t >= k) return false;
  }
  ++c[k - t - 1];
  for (int j = k - t; j < k; ++j) c[j] = c[j - 1] + 1;
  return true;
}

bool generate_combination(int k, int n, int* c) {
  if (c[k - 1] == 0) {
    for (int i = 0; i < k; ++i) c[i] = i;
    return true;
  }
  return generate_combination1(k, n, c);
}

bool generate_combination_kequals1(int n, int* c) {
  if (c[0] == n - 1) return false;
  ++c[0];
  return true;
}

void initialize_comb(int n, int* a) {
  for (int i = 0; i < n; ++i) a[i] = i;
}

int* random_combination(int k, int n, int* a) {
  for (int i = 0; i < k; ++i) {
    int const r = static_cast<int>(arc4random_uniform(static_cast<uint32_t>(n - i)));
    int const tmp = a[r];
    a[r] = a[n - 1 - i];
    a[n - 1 - i] = tmp;
  }
  return a + (n - k);
}

int inverse_combination(int n, int k, int const* c, int* out) {
  if (n < 1) return 0;
  int j = 0, o = 0;
  for (int v = 0; v < n; ++v) {
    if (j < k && c[j] == v)
      ++j;
    else
      out[o++] = v;
  }
  return n;
}

int find_nth_nonzero_bit(int mask, int n) {
  if (n < 1) return 0;
  unsigned const m = static_cast<unsigned>(mask);
  int seen = 0;
  for (int p = 1; p < 32; ++p)
    if ((m >> p) & 1u)
      if (++seen == n) return p;
  return 0;  // too few bits: terminate with "no bit"
}

int get_nth_nonzero_bit(int mask, int n) {
  if (n < 1) return 1;
  int const p = find_nth_nonzero_bit(mask, n);
  return p ? static_cast<int>(1u << p) : 0;
}

int set_nth_zero_bit(int mask, int n) {
  if (n < 1) return mask;
  unsigned const m = static_cast<unsigned>(mask);
  int seen = 0;
  for (int p = 1; p < 32; ++p)
    if (!((m >> p) & 1u))
      if (++seen == n) return static_cast<int>(m | (1u << p));
  return mask;
}

void sort_by_insertion(int* keys, int n, void** items) {
  for (int i = 1; i < n; ++i) {
    int const key = keys[i];
    void* const item = items[i];
    int j = i - 1;
    while (j >= 0 && keys[j] < key) {
      keys[j + 1] = keys[j];
      items[j + 1] = items[j];
      --j;
    }
    keys[j + 1] = key;
    items[j + 1] = item;
  }
}

void sort_by_insertion_ascending(int* keys, int n, int* items) {
  for (int i = 1; i < n; ++i) {
    int const key = keys[i];
    int const item = items[i];
    int j = i - 1;
    while (j >= 0 && keys[j] > key) {
      keys[j + 1] = keys[j];
      items[j + 1] = items[j];
      --j;
    }
    keys[j + 1] = key;
    items[j + 1] = item;
  }
}

void sort_by_insertion_ascending(int* keys, int n) {
  for (int i = 1; i < n; ++i) {
    int const key = keys[i];
    int j = i - 1;
    while (j >= 0 && keys[j] > key) {
      keys[j + 1] = keys[j];
      --j;
    }
    keys[j + 1] = key;
  }
}
