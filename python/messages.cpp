// The engine's diagnostic lines ("make_puzzle: ...", "GroupMap: ...") go to Python's
// logging (logger "nonet") instead of standard error. Lines come from whatever thread
// runs the engine, often a worker without the GIL: the handler only queues them, and
// the thread that holds the GIL hands them to logging (emit_engine_messages).
#include <deque>
#include <mutex>
#include <string>

#include "api/engine_api.h"
#include "python/bindings.h"
#include "python/messages.h"

namespace nonet_py {

namespace {

// At most this many lines wait; more are counted and reported as dropped.
constexpr std::size_t kMaxPendingLines = 10000;

struct PendingLines {
  std::mutex mutex;
  std::deque<std::string> lines;
  std::size_t dropped = 0;
};

PendingLines& pending() {
  static auto* p = new PendingLines;  // never destroyed: worker threads may outlive interpreter teardown
  return *p;
}

void queue_line(char const* line, void*) {
  PendingLines& p = pending();
  std::lock_guard<std::mutex> lock(p.mutex);
  if (p.lines.size() < kMaxPendingLines)
    p.lines.emplace_back(line);
  else
    ++p.dropped;
}

// The statistics of a generation are for debugging; failures are worth a warning.
int level_of(std::string const& line, int debug, int info, int warning) {
  if (line.rfind("make_puzzle", 0) == 0 || line.rfind("  technique_totals", 0) == 0) return debug;
  for (char const* word : {"failed", "couldn't", "bad map", "unknown"})
    if (line.find(word) != std::string::npos) return warning;
  return info;
}

}  // namespace

void emit_engine_messages() {
  PendingLines& p = pending();
  std::deque<std::string> lines;
  std::size_t dropped;
  {
    std::lock_guard<std::mutex> lock(p.mutex);
    lines.swap(p.lines);
    dropped = p.dropped;
    p.dropped = 0;
  }
  if (lines.empty() && dropped == 0) return;
  // An exception already set (a KeyboardInterrupt being raised) must survive the logging calls.
  PyObject *type, *value, *traceback;
  PyErr_Fetch(&type, &value, &traceback);
  try {
    py::module_ logging = py::module_::import("logging");
    py::object logger = logging.attr("getLogger")("nonet");
    int const debug = logging.attr("DEBUG").cast<int>(), info = logging.attr("INFO").cast<int>(),
              warning = logging.attr("WARNING").cast<int>();
    for (std::string const& line : lines) logger.attr("log")(level_of(line, debug, info, warning), "%s", line);
    if (dropped) logger.attr("warning")("%d engine lines dropped (too many waiting)", dropped);
  } catch (py::error_already_set&) {
    // A failing logging handler must not turn an engine call into an error.
  }
  PyErr_Restore(type, value, traceback);
}

void register_messages(py::module_&) { sudoku_set_message_handler(queue_line, nullptr); }

}  // namespace nonet_py
