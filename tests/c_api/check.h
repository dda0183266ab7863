/* The C hosts' check: a failed condition is printed with its place and counted in
   failures, which the program returns. */
#ifndef NONET_TESTS_C_API_CHECK_H
#define NONET_TESTS_C_API_CHECK_H

#include <stdio.h>

static int failures = 0;
#define CHECK(cond)                                                            \
  do {                                                                         \
    if (!(cond)) {                                                             \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      ++failures;                                                              \
    }                                                                          \
  } while (0)

#endif
