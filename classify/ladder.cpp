// The classification ladder, its labels, the ranking of techniques and the name
// tables of buckets, map kinds and adjacency kinds.
#include <cstring>

#include "classify/classify.h"

METHOD_TYPE const level_ladder[kLadderLength] = {
    SIMPLE_ELIMINATION, HIDDEN_SINGLES, CELL_RESTRICTION, MULTIPLE_DIGITS, DOUBLE_RESTRICTION, X_WING,
    SWORDFISH,          SHORT_X_CHAINS, XY_XYZ_WINGS,     W_WING,          JELLYFISH,          X_CHAINS,
    XY_CHAINS,          ALMOST_LOCKED_SETS, FRANKEN_FISH, FORCING_NET,
};

namespace {

char const* const kLadderLabels[kLadderLength] = {
    "Easy — Naked Singles only",
    "Moderately Easy — Hidden Singles",
    "Moderate — Locked Candidates / Naked Pair",
    "Moderately Hard — Hidden/Naked Triple-Quad",
    "Hard — Double Restriction",
    "Hard — X-Wing",
    "Vicious — Swordfish",
    "Vicious — Turbot family",
    "Fiendish — XY-Wing / XYZ-Wing",
    "Fiendish — W-Wing",
    "Fiendish — Jellyfish",
    "Fiendish — X-Chain",
    "Hell — XY-Chain",
    "Hell — ALS",
    "Hell — Franken Fish",
    "Beyond Hell — Forcing Net",
};

char const* const kBucketNames[10] = {"quickie", "easy",    "moderately_easy", "moderate", "moderately_hard",
                                      "hard",    "vicious", "fiendish",        "hell",     "beyond_hell"};

// Bucket index per ladder position (method_type_to_bucket).
int const kBucketOfPosition[kLadderLength] = {0, 2, 3, 4, 5, 5, 6, 6, 7, 7, 7, 7, 8, 8, 8, 9};

// Statistics slots counted inside a technique rank as that technique.
int technique_counting(int m) {
  switch (m) {
    case XY_WING:
    case XYZ_WING: return XY_XYZ_WINGS;
    case FINNED_FISH_ALT: return FINNED_FISH;
    case kSlotAlsBivalueRestricted:
    case kSlotAlsThreeDigitPair:
    case kSlotAlsPairOf2:
    case kSlotAlsPairOf3: return ALMOST_LOCKED_SETS;
    default: return m;
  }
}

}  // namespace

int ladder_position(int m) {
  for (int p = 0; p < kLadderLength; ++p)
    if (level_ladder[p] == m) return p;
  return -1;
}

char const* level_label(int level_index, bool quickie) {
  if (level_index == -1) return "Trivial (all given)";
  if (level_index == 0 && quickie) return "Quickie — Naked Singles only";
  if (level_index >= 0 && level_index < kLadderLength) return kLadderLabels[level_index];
  if (level_index == kLadderLength) return "Beyond Hell — Brute Force";
  return "";
}

METHOD_TYPE hardest_method_used(int const* counts) {
  int best_position = 0;
  int result = 0;
  for (int m = 0; m <= BRUTE_FORCE; ++m) {
    if (counts[m] <= 0) continue;
    int const technique = technique_counting(m);
    int position = ladder_position(technique);
    if (position < 0) position = kLadderLength;
    if (position > best_position) {
      best_position = position;
      result = technique;
    }
  }
  if (counts[W_WING] > 0 && ladder_position(W_WING) > best_position) result = W_WING;
  return static_cast<METHOD_TYPE>(result);
}

int method_type_to_bucket(METHOD_TYPE m) {
  int const p = ladder_position(technique_counting(m));
  return p < 0 ? 9 : kBucketOfPosition[p];
}

int gen_bucket_index(char const* name) {
  if (!name) return -1;
  for (int i = 0; i < 10; ++i)
    if (std::strcmp(name, kBucketNames[i]) == 0) return i;
  return -1;
}

char const* gen_bucket_name(int i) { return i >= 0 && i < 10 ? kBucketNames[i] : ""; }

char const* gen_map_name(int i) { return i == 0 ? "square" : i == 1 ? "irregular" : ""; }

char const* gen_adj_name(int i) { return i == 0 ? "regular" : i == 1 ? "x" : ""; }

int parse_bucket_name(char const* name) {
  if (!name) return -1;
  struct Alias {
    char const* word;
    int index;
  };
  static Alias const aliases[] = {{"medium", 3}, {"expert", 7}, {"ultimate", 8}, {"bruteforce", 9}};
  int const exact = gen_bucket_index(name);
  if (exact >= 0) return exact;
  for (Alias const& a : aliases)
    if (std::strcmp(name, a.word) == 0) return a.index;
  return -1;
}

bool atom_fits_level(int atom, int level) {
  switch (atom) {
    case 30:
    case 31: return level == SIMPLE_ELIMINATION;
    case 32:
    case 33: return level == HIDDEN_SINGLES;
    case 34:
    case 35: return level == CELL_RESTRICTION;
    case 36: return level == CELL_RESTRICTION || level == MULTIPLE_DIGITS;
    case 37:
    case 38:
    case 39:
    case 40:
    case 41: return level == MULTIPLE_DIGITS;
    case 42:
    case 43:
    case 44:
    case 45: return level == SHORT_X_CHAINS;
    case 46:
    case 47:
    case 48: return level == FINNED_FISH || level == FINNED_FISH_ALT;
    case 49:
    case 50: return level == FRANKEN_FISH;
    case 51: return level == W_WING;
    case 52: return level == XY_XYZ_WINGS;
    default: return false;
  }
}
