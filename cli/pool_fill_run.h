// nonet pool fill: runs a pool's fill plan on worker threads, one committed batch at a time.
#pragma once

#include <string>

#include "pool/pool_plan.h"

struct PoolFillOptions {
  std::string pool;
  pool::FillPlan plan;
  int threads = 1;
  bool verbose = false;
};

// Exit status: 0 when every target is met, 1 when the store fails or a bucket stalls,
// 130 after Ctrl-C or SIGTERM (the batch in flight is stored first).
int run_pool_fill(PoolFillOptions const& options);
