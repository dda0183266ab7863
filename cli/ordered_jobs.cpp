#include "cli/ordered_jobs.h"

namespace ordered_jobs_detail {

std::atomic<bool>& interrupted() {
  static std::atomic<bool> flag{false};
  return flag;
}

extern "C" void ordered_jobs_on_interrupt(int) { interrupted().store(true); }

}  // namespace ordered_jobs_detail

unsigned long long job_seed(unsigned long long seed, long k) {
  unsigned long long z = seed + 0x9E3779B97F4A7C15ull * static_cast<unsigned long long>(k + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return z ? z : 1;
}
