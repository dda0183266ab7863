// Puzzle: the board object behind every handle. It begins with its stored
// image (PuzzleData) and carries the working state of the solution builder,
// the generator and the logical solver.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "model/matrix.h"
#include "model/types.h"
#include "util/export.h"

// Franken fish pattern: base set = lines of one direction plus groups, cover set
// = lines of the other direction plus groups.
struct FRANKEN_PATTERN {
  int32_t n_defining_lines;
  int32_t n_defining_groups;
  int32_t n_secondary_lines;
  int32_t n_secondary_groups;
};

// A bivalue cell as a chain node; n_dims == 0 means "not a node".
struct CHAIN_NODE {
  int32_t cell;
  int32_t n_dims;
  int32_t dims[5];
};

enum CHAINS_PATTERN : int32_t { CHAINS_PATTERN_NONE = 0 };

// Population counts of the 512 digit sets (bits 1..9 shifted down by one): a table
// lookup, which baseline x86-64 executes faster than a library popcount call.
struct CandidateCountTable {
  unsigned char count[512];
  constexpr CandidateCountTable() : count() {
    for (int v = 0; v < 512; ++v) count[v] = static_cast<unsigned char>((v & 1) + (v > 1 ? count[v >> 1] : 0));
  }
};
inline constexpr CandidateCountTable kCandidateCounts{};

// Number of candidate digits in a candidate mask (bits 1..9).
inline int n_candidates(uint32_t elim_bits) { return kCandidateCounts.count[(elim_bits >> 1) & 0x1FFu]; }

// The digit of a one-bit mask 1 << d (d = 1..9); 0 for any other value.
inline int digit_of_bit(uint32_t bit) {
  if (bit == 0 || (bit & (bit - 1)) != 0) return 0;
  int const d = __builtin_ctz(bit);
  return (d >= 1 && d <= 9) ? d : 0;
}

// The bit of digit d for d in 1..9; 0 otherwise (so stray values never shift out of range).
inline uint32_t bit_of_digit(int d) { return (d >= 1 && d <= 9) ? (1u << d) : 0u; }

class NONET_EXPORT Puzzle : public PuzzleData {
 public:
  struct ALMOST_LOCKED_SET {
    uint32_t digits;
    int32_t n_cells;
    PUZZLE_CELL* cells[9];
  };

  // ---- data members, in their fixed order after PuzzleData ----
  alignas(2) bool cancel_requested;  // written by another thread: use the accessors below
  bool deadline_passed;
  int64_t deadline_ms;
  uint32_t deadline_poll_count;
  bool line_group_overlap[4][9][9];
  int32_t method_counts[N_METHOD_COUNTS];
  PUZZLE_CELL* ordered_ptrs[82];
  unsigned char* are_neighbors_array;
  int32_t symmetry;
  int32_t n_clues;
  int32_t sym_pool[40];
  int32_t n_sym_pool;
  PUZZLE_CELL* clue_cells[81];
  PUZZLE_CELL** clue_cells_begin;
  PUZZLE_CELL** next_clue_cell;
  int32_t n_initial_clues;
  int32_t brute_force_solutions;
  int32_t brute_force_call_limit;
  int32_t brute_force_calls;
  bool brute_force_limit_reached;
  PUZZLE_CELL* ptrs_first_in_dims[5][9];
  // Extension: threads that run the independent tries of one generation; 0 or 1 runs
  // them on the calling thread.
  int32_t generation_threads;

  // ---- lifecycle and geometry ----
  Puzzle();
  ~Puzzle();
  Puzzle(Puzzle const& other);
  Puzzle& operator=(Puzzle const&) = delete;

  void free_are_neighbors_array();
  void setup(Matrix<int, 9> const& groups);
  void setup_ptrs_first_in_dims();
  void setup_with_grp_set();
  void define_are_neighbors_array();
  bool are_neighbors(PUZZLE_CELL const* a, PUZZLE_CELL const* b) const {
    return are_neighbors_array[a->offset() * 81 + b->offset()] != 0;
  }
  void define_overlap_maps();
  bool line_and_group_overlap(DIMENSION d, int line, int group) const {
    return line_group_overlap[d - 1][line][group];
  }
  void set_types(MAP_TYPE map, ADJACENCY_TYPE adjacency);
  void set_difficulty(UI_DIFFICULTY d);
  void set_color_map(int const colors[9]);

  // Loaded cell records are untrusted: rebuilds rows, columns, diagonals and every
  // ring link from the cell positions and the stored group numbers (a group
  // assignment that is not nine groups of nine cells numbered 0..8 is replaced by
  // the box partition). Records that are already valid come out unchanged.
  void rebuild_geometry_from_groups();
  // True when the cells' group numbers are 0..8 with nine cells each.
  bool groups_form_partition() const;

  // ---- stop flags (another thread may write them while a generation runs) ----
  bool cancel_is_requested() const { return load_flag(cancel_requested); }
  bool deadline_has_passed() const { return load_flag(deadline_passed); }
  void set_deadline_passed() { std::atomic_ref<bool>(deadline_passed).store(true, std::memory_order_relaxed); }
  void set_cancel_requested(bool v) { std::atomic_ref<bool>(cancel_requested).store(v, std::memory_order_relaxed); }
  // Sets (or clears) both flags with one store.
  void store_both_stop_flags(bool v);

  // ---- play form ----
  void make_ready_for_UI();
  void start_or_restart_UI(bool starting);
  PUZZLE_STATE puzzle_state(int counts[10]) const;
  int distance_to_solution() const;
  void maxed_digits(bool out[10]) const;

  // ---- random solution grid ----
  bool construct_solution();
  void order_groups_by_restriction();
  void initialize_ordered_ptrs();
  void compare_to_first_group();
  void sort_ordered_ptrs();
  void initialize_first_group();
  bool initialize_rest_of_array();
  bool recursively_fill_cells(PUZZLE_CELL** cells, unsigned* restore);
  bool set_value(PUZZLE_CELL* cell);
  bool exclude_value_from_future_cell(PUZZLE_CELL const* placed, PUZZLE_CELL* later);
  bool exclude_value_from_future_cells(PUZZLE_CELL const* placed, PUZZLE_CELL** later);
  static int count_set_bits(unsigned mask, int shift, int width);
  static unsigned get_nth_nonzero_bit(unsigned mask, int n);

  // ---- candidate bookkeeping ----
  bool one_round_of_elimination();
  bool puzzle_is_solved() const;
  void simplify_by_elimination_using_cell(PUZZLE_CELL* cell);
  void reverse_elimination_for_cell_and_digit(PUZZLE_CELL* cell, unsigned old_bit);
  void reverse_eliminate_in_dimension_for_cell_and_old_bit_digit(PUZZLE_CELL* cell, int dim, unsigned old_bit);
  void alt_eliminate_in_cell_for_digit(PUZZLE_CELL* cell, unsigned old_bit);
  bool check_elim_bits_against_soln() const;
  void reset_solver();

  // ---- solver driver ----
  void solve(METHOD_TYPE hardest);
  SOLVER_RESULT_CODE solve_by_recursion(METHOD_TYPE m);
  bool simplify(METHOD_TYPE m);
  bool solve_by_brute_force(FILE* stream, long call_limit);
  void brute_force(PUZZLE_CELL* from, int64_t deadline, FILE* stream);
  static METHOD_TYPE predecessor(METHOD_TYPE m);
  // Unreached members with fixed trivial bodies.
  bool als3(PUZZLE_CELL* a, PUZZLE_CELL* b, PUZZLE_CELL* c);
  bool simplify_once_mutant_fish_for_digit(unsigned digit_bit, int n_lines, int n_groups, int (*houses)[9]);
  bool simplify_using_chains_for_cell_and_digit(PUZZLE_CELL* cell, unsigned digit_bit, CHAINS_PATTERN pattern);
  void check_elim_bits_over_dims();
  void yield();

  // ---- singles, subsets and restrictions ----
  bool simplify_once_by_cells(METHOD_TYPE m);
  bool simplify_cell_using_digits(PUZZLE_CELL* cell);
  bool simplify_cell_by_restriction(PUZZLE_CELL* cell);
  bool restriction_for_cell_dims_and_digit(PUZZLE_CELL* cell, unsigned digit_bit, DIMENSION dim_a, DIMENSION dim_b);
  bool restriction_for_cell_and_dim(PUZZLE_CELL* cell, DIMENSION diag);
  bool simplify_once_over_dim(METHOD_TYPE m);
  bool multi_digits(PUZZLE_CELL** cells, int const* digits, int n, int const* comb, int k);
  bool double_restriction_for_lines_and_groups(DIMENSION dim, int line1, int line2, int group1, int group2);

  // ---- fish ----
  bool simplify_once_fish_methods(METHOD_TYPE m);
  int determine_unsolved_houses_for_digit(DIMENSION dim, int* houses, unsigned digit_bit);
  bool simplify_once_rows_and_cols_for_digit(METHOD_TYPE m, unsigned digit_bit, int n_rows, int n_cols, int* rows,
                                             int* cols);
  bool rows_and_cols_for_digit(unsigned digit_bit, int base_dim, int cover_dim, int* base, int* cover, int k);
  bool remove_from_elim_bits_in_other_dim(int k, unsigned digit_bit, int cover_dim, int* cover, int* in_base);
  bool simplify_once_franken_fish_for_digit(unsigned digit_bit, int n_lines, int n_groups, int (*houses)[9]);
  bool simplify_franken_defining_lines_only(unsigned digit_bit, int n_lines, int n_groups, int (*houses)[9],
                                            FRANKEN_PATTERN const& pattern, DIMENSION line_dim);
  bool simplify_franken_secondary_lines_only(unsigned digit_bit, int n_lines, int n_groups, int (*houses)[9],
                                             FRANKEN_PATTERN const& pattern, DIMENSION line_dim);
  bool simplify_fins_rows_cols();
  void find_fin_candidates(int group, int* digits, int*& from, int*& to);
  bool fins_rows_cols(DIMENSION base_dim, unsigned digit_bit, PUZZLE_CELL* fin1, PUZZLE_CELL* fin2,
                      PUZZLE_CELL* witness);
  bool rows_and_cols_with_fins_for_digit(unsigned digit_bit, DIMENSION base_dim, int n_base, int* base, int n_cover,
                                         int* cover, PUZZLE_CELL const* fin1);

  // ---- wings and chains ----
  bool simplify_XY_wing(PUZZLE_CELL* pivot);
  bool simplify_XYZ_wing(PUZZLE_CELL* pivot);
  bool simplify_XY_XYZ_wing();
  bool remove_from_elim_bits_in_neighbors(unsigned digits, PUZZLE_CELL* a, PUZZLE_CELL* b);
  bool simplify_w_wing();
  bool simplify_x_chain_vexor(int max_len);
  bool x_chain_extend(unsigned digit_bit, int n_dims, int length, PUZZLE_CELL* start, PUZZLE_CELL* current,
                      bool weak_next, int max_len, DIMENSION first_dim);
  void find_possible_nodes(CHAIN_NODE* nodes);
  bool do_xy_chain(CHAIN_NODE const& a, CHAIN_NODE const& b);
  bool do_next_xy_chain_link(int depth, bool first, bool weak_ok, unsigned target, CHAIN_NODE const& start,
                             unsigned carry, CHAIN_NODE const& current);
  bool are_strongly_linked(unsigned digit_bit, CHAIN_NODE const& node, PUZZLE_CELL const& cell);

  // ---- almost locked sets and forcing nets ----
  bool simplify_almost_locked_sets();
  bool als3(PUZZLE_CELL* a, PUZZLE_CELL* b);
  bool do_ALS_in_dim_with_restricted_common_in_grp(DIMENSION dim, PUZZLE_CELL* a, PUZZLE_CELL* b);
  bool do_ALS_in_dim_with_restricted_common_in_grp(DIMENSION dim, PUZZLE_CELL* a, PUZZLE_CELL* b,
                                                   ALMOST_LOCKED_SET& als);
  bool remove_from_elim_bits_in_neighbors(unsigned digit_bit, PUZZLE_CELL* a, ALMOST_LOCKED_SET& als);
  bool remove_from_elim_bits_in_neighbors(DIMENSION dim, PUZZLE_CELL* a, PUZZLE_CELL* b, ALMOST_LOCKED_SET& als);
  bool simplify_cell_forcing_net();

  // ---- clue removal and rating ----
  int construct_puzzle(UI_QUALITY quality, MAP_TYPE map);
  int make_puzzle(UI_QUALITY quality);
  // The try loop on n_threads threads (extension): every try draws from its own random
  // stream, so a seeded call gives the same puzzle for any n_threads >= 2.
  int make_puzzle_on_threads(UI_QUALITY quality, int n_threads);
  void make_solvable_puzzle();
  void add_a_clue_or_two();
  int remove_clues_returning_rating(time_t deadline, int passes);
  int rate_puzzle();
  int rate_puzzle(int const* counts);
  bool at_least_one_technique_for_difficulty(int const* counts);
  bool try_all_parameter_atoms();
  bool long_run_of_clues();
  int count_mask();
  void destroy_solution_if_no_mask();

  // ---- clue budgets, symmetry and masks ----
  void set_n_clues(UI_QUALITY quality);
  void set_symmetry();
  void build_sym_pool();
  PUZZLE_CELL* p_mir_sym_cell(PUZZLE_CELL* cell);
  PUZZLE_CELL* p_rot_sym_cell(PUZZLE_CELL* cell);
  PUZZLE_CELL* p_sym_cell(PUZZLE_CELL* cell);
  void set_center();
  void init_mask();
  void set_initial_clues(int n);
  void apply_mask();
  void set_mask_values_back_to_1();
  bool some_elim_bits_is_zero();
  int add_elim_bits();

  // ---- ring walks ----
  // The next cell of `cell`'s house in dimension dim (the cell itself when it has no ring there).
  static PUZZLE_CELL* next_in(PUZZLE_CELL* cell, int dim) { return cell + cell->next_in_dim[dim]; }
  static PUZZLE_CELL const* next_in(PUZZLE_CELL const* cell, int dim) { return cell + cell->next_in_dim[dim]; }
  // The houses of a cell in the engine's fixed order: group, row, column, then the
  // diagonals it lies on when the board is X. Returns their number.
  int houses_of(PUZZLE_CELL const* cell, int dims_out[5]) const;

 private:
  static bool load_flag(bool const& flag) {
    return std::atomic_ref<bool>(const_cast<bool&>(flag)).load(std::memory_order_relaxed);
  }
  void link_rings();
};

// Free functions of the solver that have fixed trivial bodies.
NONET_EXPORT bool mutant_chains(unsigned digit_bit);
NONET_EXPORT bool turbot_chains(unsigned digit_bit);

// Exported board tables.
extern "C" {
NONET_EXPORT extern int const square_group_map[9][9];
NONET_EXPORT extern bool const rows_cols_relation[81][81];
NONET_EXPORT extern bool const x_relation[81][81];
NONET_EXPORT extern bool const square_groups_relation[81][81];
}
