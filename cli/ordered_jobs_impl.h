// Implementation of run_ordered_jobs (included by ordered_jobs.h).
#pragma once

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace ordered_jobs_detail {

std::atomic<bool>& interrupted();
extern "C" void ordered_jobs_on_interrupt(int);

}  // namespace ordered_jobs_detail

template <typename Result>
bool run_ordered_jobs(long n_jobs, int threads, std::function<Result(long)> const& work,
                      std::function<bool(long, Result&)> const& emit) {
  using namespace ordered_jobs_detail;
  interrupted().store(false);
  auto const previous = std::signal(SIGINT, ordered_jobs_on_interrupt);
  std::atomic<long> next{0};
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::condition_variable ready;
  std::map<long, Result> done;
  int running = threads;

  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&] {
      for (;;) {
        if (stop.load() || interrupted().load()) break;
        long const k = next.fetch_add(1);
        if (k >= n_jobs) break;
        Result r = work(k);
        std::lock_guard<std::mutex> lock(mutex);
        done.emplace(k, std::move(r));
        ready.notify_all();
      }
      std::lock_guard<std::mutex> lock(mutex);
      --running;
      ready.notify_all();
    });

  long emitted = 0;
  std::unique_lock<std::mutex> lock(mutex);
  for (;;) {
    auto it = done.find(emitted);
    if (it != done.end()) {
      Result r = std::move(it->second);
      done.erase(it);
      lock.unlock();
      bool const go_on = !stop.load() && emit(emitted, r);
      if (!go_on) stop.store(true);
      ++emitted;
      lock.lock();
      continue;
    }
    if (running == 0) break;
    ready.wait_for(lock, std::chrono::milliseconds(100));
  }
  lock.unlock();
  for (auto& w : workers) w.join();
  std::signal(SIGINT, previous);
  return interrupted().load();
}
