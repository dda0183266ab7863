// The generation parameter table and the rating weights.
#include "generator/clue_parameters.h"

namespace {

// A non-top atom: only its technique is read.
constexpr CLUE_ATOM technique(METHOD_TYPE m) { return CLUE_ATOM{0, 0, m, 0, 0, {0, 0, 0}, {0}}; }

}  // namespace

CLUE_PARAMETERS const clue_parameters[10][2][2] = {
    {
        {
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{34, 38, SIMPLE_ELIMINATION, 0, 1, {0, 0, 100}, {15, 31, 31, 31, 31}}}},  // difficulty 0, map 0, adjacency 0
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{32, 36, SIMPLE_ELIMINATION, 0, 1, {0, 0, 100}, {2, 6, 10, 14, 17}}}},  // difficulty 0, map 0, adjacency 1
        },
        {
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{31, 35, SIMPLE_ELIMINATION, 0, 1, {0, 0, 100}, {2, 6, 10, 14, 18}}}},  // difficulty 0, map 1, adjacency 0
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{28, 32, SIMPLE_ELIMINATION, 0, 1, {0, 0, 100}, {2, 6, 10, 14, 18}}}},  // difficulty 0, map 1, adjacency 1
        },
    },
    {
        {
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{29, 33, SIMPLE_ELIMINATION, 0, 1, {0, 0, 100}, {2, 6, 10, 14, 17}}}},  // difficulty 1, map 0, adjacency 0
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{27, 31, SIMPLE_ELIMINATION, 0, 1, {0, 0, 100}, {2, 6, 10, 14, 17}}}},  // difficulty 1, map 0, adjacency 1
        },
        {
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{28, 32, SIMPLE_ELIMINATION, 0, 1, {0, 0, 100}, {2, 6, 10, 14, 18}}}},  // difficulty 1, map 1, adjacency 0
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{25, 29, SIMPLE_ELIMINATION, 0, 1, {0, 0, 100}, {2, 6, 10, 14, 18}}}},  // difficulty 1, map 1, adjacency 1
        },
    },
    {
        {
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{28, 31, HIDDEN_SINGLES, 1, 0, {100, 100, 100}, {3, 7, 11, 15}}}},  // difficulty 2, map 0, adjacency 0
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{27, 30, HIDDEN_SINGLES, 1, 0, {100, 100, 100}, {3, 7, 11, 15}}}},  // difficulty 2, map 0, adjacency 1
        },
        {
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{29, 32, HIDDEN_SINGLES, 1, 0, {100, 100, 100}, {3, 7, 11, 15}}}},  // difficulty 2, map 1, adjacency 0
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{28, 31, HIDDEN_SINGLES, 1, 0, {100, 100, 100}, {3, 10, 11, 21}}}},  // difficulty 2, map 1, adjacency 1
        },
    },
    {
        {
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{27, 30, CELL_RESTRICTION, 1, 0, {100, 100, 100}, {3, 7, 11, 15}}}},  // difficulty 3, map 0, adjacency 0
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{26, 29, CELL_RESTRICTION, 1, 0, {100, 100, 100}, {3, 7, 11, 15}}}},  // difficulty 3, map 0, adjacency 1
        },
        {
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{28, 31, CELL_RESTRICTION, 1, 0, {100, 100, 100}, {3, 7, 11, 15}}}},  // difficulty 3, map 1, adjacency 0
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{27, 30, CELL_RESTRICTION, 1, 0, {100, 100, 100}, {3, 10, 11, 21}}}},  // difficulty 3, map 1, adjacency 1
        },
    },
    {
        {
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{23, 26, MULTIPLE_DIGITS, 1, 0, {100, 200, 2000}, {3, 7, 11, 15}}}},  // difficulty 4, map 0, adjacency 0
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{23, 26, MULTIPLE_DIGITS, 1, 0, {100, 200, 200}, {3, 7, 11, 15}}}},  // difficulty 4, map 0, adjacency 1
        },
        {
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{23, 26, MULTIPLE_DIGITS, 1, 0, {100, 200, 200}, {3, 7, 11, 15}}}},  // difficulty 4, map 1, adjacency 0
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{23, 26, MULTIPLE_DIGITS, 1, 0, {100, 200, 200}, {3, 7, 11, 15}}}},  // difficulty 4, map 1, adjacency 1
        },
    },
    {
        {
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{24, 27, X_WING, 1, 0, {100, 200, 2000}, {3, 7, 11, 15}}}},  // difficulty 5, map 0, adjacency 0
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{24, 27, X_WING, 1, 0, {100, 200, 200}, {3, 7, 11, 15}}}},  // difficulty 5, map 0, adjacency 1
        },
        {
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{24, 27, X_WING, 1, 0, {100, 200, 200}, {3, 7, 11, 15}}}},  // difficulty 5, map 1, adjacency 0
            CLUE_PARAMETERS{1, {0}, {CLUE_ATOM{24, 27, X_WING, 1, 0, {100, 200, 200}, {3, 7, 11, 15}}}},  // difficulty 5, map 1, adjacency 1
        },
    },
    {
        {
            CLUE_PARAMETERS{3, {0, 1, 2}, {technique(MULTIPLE_DIGITS), technique(DOUBLE_RESTRICTION), CLUE_ATOM{21, 33, X_WING, 2, 0, {100, 500, 2000}, {15, 31, 32, 33, 34, 34, 34, 34, 34, 34, 34, 34, 34}}}},  // difficulty 6, map 0, adjacency 0
            CLUE_PARAMETERS{3, {0, 1, 2}, {technique(MULTIPLE_DIGITS), technique(DOUBLE_RESTRICTION), CLUE_ATOM{20, 23, X_WING, 1, 0, {100, 200, 2000}, {13, 27, 33, 33}}}},  // difficulty 6, map 0, adjacency 1
        },
        {
            CLUE_PARAMETERS{3, {0, 1, 2}, {technique(MULTIPLE_DIGITS), technique(DOUBLE_RESTRICTION), CLUE_ATOM{19, 23, X_WING, 3, 0, {100, 200, 2000}, {13, 27, 33, 39, 34}}}},  // difficulty 6, map 1, adjacency 0
            CLUE_PARAMETERS{3, {0, 1, 2}, {technique(MULTIPLE_DIGITS), technique(DOUBLE_RESTRICTION), CLUE_ATOM{18, 22, X_WING, 4, 0, {100, 200, 2000}, {13, 27, 34, 40, 34}}}},  // difficulty 6, map 1, adjacency 1
        },
    },
    {
        {
            CLUE_PARAMETERS{3, {0, 1, 2}, {technique(MULTIPLE_DIGITS), technique(DOUBLE_RESTRICTION), CLUE_ATOM{22, 34, X_WING, 2, 0, {100, 500, 2000}, {15, 31, 32, 33, 34, 34, 34, 34, 34, 34, 34, 34, 34}}}},  // difficulty 7, map 0, adjacency 0
            CLUE_PARAMETERS{3, {0, 1, 2}, {technique(MULTIPLE_DIGITS), technique(DOUBLE_RESTRICTION), CLUE_ATOM{21, 24, X_WING, 1, 0, {100, 200, 2000}, {13, 27, 33, 33}}}},  // difficulty 7, map 0, adjacency 1
        },
        {
            CLUE_PARAMETERS{3, {0, 1, 2}, {technique(MULTIPLE_DIGITS), technique(DOUBLE_RESTRICTION), CLUE_ATOM{20, 24, X_WING, 3, 0, {100, 200, 2000}, {13, 27, 33, 39, 34}}}},  // difficulty 7, map 1, adjacency 0
            CLUE_PARAMETERS{3, {0, 1, 2}, {technique(MULTIPLE_DIGITS), technique(DOUBLE_RESTRICTION), CLUE_ATOM{19, 23, X_WING, 4, 0, {100, 200, 2000}, {13, 27, 34, 40, 34}}}},  // difficulty 7, map 1, adjacency 1
        },
    },
    {
        {
            CLUE_PARAMETERS{7, {0, 1, 2, 3, 4, 5, 6}, {technique(XY_XYZ_WINGS), technique(X_CHAINS), technique(XY_CHAINS), technique(ALMOST_LOCKED_SETS), technique(ALMOST_LOCKED_SETS), technique(FRANKEN_FISH), CLUE_ATOM{20, 26, FINNED_FISH, 1, 0, {100, 200, 20000}, {15, 31, 32, 33, 34, 34, 34}}}},  // difficulty 8, map 0, adjacency 0
            CLUE_PARAMETERS{7, {0, 1, 2, 3, 4, 5, 6}, {technique(XY_XYZ_WINGS), technique(X_CHAINS), technique(XY_CHAINS), technique(ALMOST_LOCKED_SETS), technique(ALMOST_LOCKED_SETS), technique(FRANKEN_FISH), CLUE_ATOM{18, 24, FINNED_FISH, 6, 0, {100, 200, 2000}, {15, 31, 32, 33, 34, 34, 34}}}},  // difficulty 8, map 0, adjacency 1
        },
        {
            CLUE_PARAMETERS{7, {0, 1, 2, 3, 4, 5, 6}, {technique(XY_XYZ_WINGS), technique(X_CHAINS), technique(XY_CHAINS), technique(ALMOST_LOCKED_SETS), technique(ALMOST_LOCKED_SETS), technique(FRANKEN_FISH), CLUE_ATOM{17, 23, FINNED_FISH, 7, 0, {100, 200, 2000}, {15, 31, 32, 33, 34, 34, 34}}}},  // difficulty 8, map 1, adjacency 0
            CLUE_PARAMETERS{7, {0, 1, 2, 3, 4, 5, 6}, {technique(XY_XYZ_WINGS), technique(X_CHAINS), technique(XY_CHAINS), technique(ALMOST_LOCKED_SETS), technique(ALMOST_LOCKED_SETS), technique(FRANKEN_FISH), CLUE_ATOM{13, 16, FINNED_FISH, 5, 0, {100, 200, 2000}, {15, 31, 32, 33}}}},  // difficulty 8, map 1, adjacency 1
        },
    },
    {
        {
            CLUE_PARAMETERS{7, {0, 1, 2, 3, 4, 5, 6}, {technique(XY_XYZ_WINGS), technique(X_CHAINS), technique(XY_CHAINS), technique(ALMOST_LOCKED_SETS), technique(ALMOST_LOCKED_SETS), technique(FRANKEN_FISH), CLUE_ATOM{18, 24, FORCING_NET, 1, 0, {100, 200, 20000}, {15, 31, 32, 33, 34, 34, 34}}}},  // difficulty 9, map 0, adjacency 0
            CLUE_PARAMETERS{7, {0, 1, 2, 3, 4, 5, 6}, {technique(XY_XYZ_WINGS), technique(X_CHAINS), technique(XY_CHAINS), technique(ALMOST_LOCKED_SETS), technique(ALMOST_LOCKED_SETS), technique(FRANKEN_FISH), CLUE_ATOM{16, 22, FORCING_NET, 1, 0, {100, 200, 20000}, {15, 31, 32, 33, 34, 34, 34}}}},  // difficulty 9, map 0, adjacency 1
        },
        {
            CLUE_PARAMETERS{7, {0, 1, 2, 3, 4, 5, 6}, {technique(XY_XYZ_WINGS), technique(X_CHAINS), technique(XY_CHAINS), technique(ALMOST_LOCKED_SETS), technique(ALMOST_LOCKED_SETS), technique(FRANKEN_FISH), CLUE_ATOM{15, 21, FORCING_NET, 7, 0, {100, 200, 20000}, {15, 31, 32, 33, 34, 34, 34}}}},  // difficulty 9, map 1, adjacency 0
            CLUE_PARAMETERS{7, {0, 1, 2, 3, 4, 5, 6}, {technique(XY_XYZ_WINGS), technique(X_CHAINS), technique(XY_CHAINS), technique(ALMOST_LOCKED_SETS), technique(ALMOST_LOCKED_SETS), technique(FRANKEN_FISH), CLUE_ATOM{11, 15, FORCING_NET, 5, 0, {100, 200, 20000}, {15, 31, 32, 33, 34}}}},  // difficulty 9, map 1, adjacency 1
        },
    },
};

int32_t const rating_coefficients[8][28] = {
    {100000, 0, -1, -10, -10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {90000, 0, 1, 10, 500, 500, 0, 1000, 4000, 6000, 10000, 400, 50, 0, 100, 50000, 300000, 0, 330000, -2500, 260000, 1800, 310000, 280000, 310000, 0, 0, 0},
    {100000, 0, 1, 10, 100, 10000, 0, 0, 2000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {100000, 0, 1, 10, 100, 30, 0, 0, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {100000, 0, 1, 10, 100, 100, 0, 0, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {90000, 0, 1, 10, 500, 100, 0, 1000, 50000, 80000, 150000, 1000, 10000, 0, 5000, 60000, 300000, 0, 10, -40000, 150000, 40000, 310000, 300000, 310000, 0, 0, 0},
    {90000, 0, 1, 10, 500, 0, 0, 0, 17000, 30000, 60000, 0, 10, 0, -400, 10000, 300000, 0, 300000, -10000, 180000, 2500, 310000, 290000, 310000, 0, 0, 0},
    {90000, 0, 1, 10, 500, 100, 0, 1000, 15000, 25000, 50000, 400, 50, 0, 500, 100000, 330000, 0, 10000, -30000, 200000, 1800, 310000, 280000, 310000, 0, 0, 0},
};
