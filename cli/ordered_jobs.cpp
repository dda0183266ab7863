#include "cli/ordered_jobs.h"

namespace ordered_jobs_detail {

std::atomic<bool>& interrupted() {
  static std::atomic<bool> flag{false};
  return flag;
}

extern "C" void ordered_jobs_on_interrupt(int) { interrupted().store(true); }

}  // namespace ordered_jobs_detail
