// Why the calling thread's last failing call returned 0 or null (sudoku_last_error).
// An exported call that can fail calls clear_last_error() when it starts and
// set_last_error() on the way to each 0 or null result.
#pragma once

#include "api/engine_api.h"

// Forgets the calling thread's last error (SUDOKU_OK).
void clear_last_error();
// Records code (a SUDOKU_ERROR_* value) and a one-line message; the message is copied and cut
// at 191 bytes. Allocates nothing, so it is safe on any path, out-of-memory included.
void set_last_error(int code, char const* message);
// The code word written before the message ("cancelled", "maps_not_found", ...).
char const* last_error_code_word(int code);
