#include "util/message.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

namespace {

struct Route {
  std::mutex mutex;
  EngineMessageHandler fn = nullptr;
  void* user = nullptr;
};

Route& route() {
  static Route r;
  return r;
}

// Text of the current line not yet handed to the handler.
thread_local std::string pending_line;

}  // namespace

void set_engine_message_handler(EngineMessageHandler fn, void* user) {
  Route& r = route();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.fn = fn;
  r.user = user;
}

void engine_message(char const* format, ...) {
  Route& r = route();
  EngineMessageHandler fn;
  void* user;
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    fn = r.fn;
    user = r.user;
  }
  va_list args;
  va_start(args, format);
  if (!fn) {
    std::vfprintf(stderr, format, args);
    va_end(args);
    return;
  }
  char small[512];
  va_list copy;
  va_copy(copy, args);
  int const n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) {
    va_end(args);
    return;
  }
  std::string text;
  if (static_cast<size_t>(n) < sizeof small) {
    text.assign(small, static_cast<size_t>(n));
  } else {
    text.resize(static_cast<size_t>(n));
    std::vsnprintf(text.data(), text.size() + 1, format, args);
  }
  va_end(args);
  pending_line += text;
  for (size_t end = pending_line.find('\n'); end != std::string::npos; end = pending_line.find('\n')) {
    std::string const line = pending_line.substr(0, end);
    pending_line.erase(0, end + 1);
    fn(line.c_str(), user);
  }
}
