// Per-thread error record behind sudoku_last_error.
#include "api/last_error.h"

#include <cstdio>
#include <cstring>

namespace {

struct LastError {
  int code = SUDOKU_OK;
  char message[192] = "";
};

thread_local LastError last_error;

}  // namespace

void clear_last_error() {
  last_error.code = SUDOKU_OK;
  last_error.message[0] = '\0';
}

void set_last_error(int code, char const* message) {
  last_error.code = code;
  std::snprintf(last_error.message, sizeof last_error.message, "%s", message ? message : "");
}

char const* last_error_code_word(int code) {
  switch (code) {
    case SUDOKU_OK: return "ok";
    case SUDOKU_ERROR_INVALID_ARGUMENT: return "invalid_argument";
    case SUDOKU_ERROR_CANCELLED: return "cancelled";
    case SUDOKU_ERROR_DEADLINE: return "deadline";
    case SUDOKU_ERROR_NO_PUZZLE: return "no_puzzle";
    case SUDOKU_ERROR_NO_SOLUTION: return "no_solution";
    case SUDOKU_ERROR_MAPS_NOT_FOUND: return "maps_not_found";
    case SUDOKU_ERROR_INVALID_GROUPS: return "invalid_groups";
    case SUDOKU_ERROR_BAD_QUEUE: return "bad_queue";
    case SUDOKU_ERROR_BAD_PICTURE: return "bad_picture";
    case SUDOKU_ERROR_NO_GRID: return "no_grid";
    case SUDOKU_ERROR_OUT_OF_MEMORY: return "out_of_memory";
    default: return "error";
  }
}

extern "C" int sudoku_last_error(char* buf, int size) {
  if (buf && size > 0) {
    if (last_error.code == SUDOKU_OK)
      buf[0] = '\0';
    else
      std::snprintf(buf, static_cast<size_t>(size), "%s: %s", last_error_code_word(last_error.code),
                    last_error.message);
  }
  return last_error.code;
}
