#include "python/workers.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "python/bindings.h"
#include "python/messages.h"

namespace nonet_py {

void run_interruptible(int n_threads, std::function<void(int)> const& work, std::function<void()> const& cancel) {
  std::mutex mutex;
  std::condition_variable all_done;
  int running = n_threads;
  std::exception_ptr failure;
  bool interrupted = false;
  {
    py::gil_scoped_release release;
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(n_threads));
    for (int t = 0; t < n_threads; ++t)
      workers.emplace_back([&, t] {
        std::exception_ptr error;
        try {
          work(t);
        } catch (...) {
          error = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(mutex);
        if (error && !failure) failure = error;
        if (--running == 0) all_done.notify_one();
      });
    std::unique_lock<std::mutex> lock(mutex);
    while (running > 0) {
      if (all_done.wait_for(lock, std::chrono::milliseconds(50), [&] { return running == 0; })) break;
      lock.unlock();
      if (!interrupted) {
        py::gil_scoped_acquire acquire;
        emit_engine_messages();
        // Leaves the handler's exception (KeyboardInterrupt) set for this thread.
        interrupted = PyErr_CheckSignals() != 0;
      }
      // Repeated while the workers run: a cancel that lands between two engine calls is
      // forgotten by the next one.
      if (interrupted) cancel();
      lock.lock();
    }
    lock.unlock();
    for (auto& w : workers) w.join();
  }
  emit_engine_messages();
  if (interrupted) throw py::error_already_set();
  if (failure) std::rethrow_exception(failure);
}

void for_each_index(std::size_t n, int n_threads, std::size_t block, std::function<void(std::size_t)> const& item,
                    std::atomic<bool>& stop) {
  if (n == 0) return;
  std::atomic<std::size_t> next{0};
  run_interruptible(
      n_threads,
      [&](int) {
        for (std::size_t start = next.fetch_add(block); start < n && !stop.load(std::memory_order_relaxed);
             start = next.fetch_add(block))
          for (std::size_t k = start; k < std::min(n, start + block) && !stop.load(std::memory_order_relaxed); ++k)
            item(k);
      },
      [&] { stop.store(true); });
}

}  // namespace nonet_py
