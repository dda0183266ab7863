// Running engine work off the GIL on worker threads while the calling thread keeps
// answering Ctrl-C.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

namespace nonet_py {

// Runs work(t) for t = 0..n_threads-1, each on a thread of its own, with the GIL released.
// The calling thread checks Python's signal handlers every 50 ms; when one raises (Ctrl-C
// raises KeyboardInterrupt), cancel() is called (again every 50 ms until the workers have
// ended) and the Python exception propagates. An exception thrown by work is rethrown in the caller.
void run_interruptible(int n_threads, std::function<void(int)> const& work, std::function<void()> const& cancel);

// Calls item(k) for k = 0..n-1 on n_threads threads, handing out block indices at a time
// (1 for slow items, more for quick ones); stop set (by Ctrl-C or by an item) ends the
// handing out of further items.
void for_each_index(std::size_t n, int n_threads, std::size_t block, std::function<void(std::size_t)> const& item,
                    std::atomic<bool>& stop);

}  // namespace nonet_py
