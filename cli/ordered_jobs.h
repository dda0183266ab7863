// Numbered jobs run on worker threads, their results handed back in job order, with
// Ctrl-C stopping the hand-out of new jobs (the jobs running finish).
#pragma once

#include <functional>
#include <memory>

// Runs work(k) for k = 0, 1, ... (below n_jobs) on `threads` threads. emit(k, result) is
// called on the calling thread in order of k and returns false to stop handing out jobs.
// Returns true when Ctrl-C stopped the run.
template <typename Result>
bool run_ordered_jobs(long n_jobs, int threads, std::function<Result(long)> const& work,
                      std::function<bool(long, Result&)> const& emit);

#include "cli/ordered_jobs_impl.h"
