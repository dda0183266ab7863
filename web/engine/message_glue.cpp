// The WebAssembly build's one addition to the engine: its diagnostic lines go to the
// JavaScript host (the worker forwards them to the page) instead of the console.
#include <emscripten.h>

#include "api/engine_api.h"

EM_JS(void, nonet_web_forward_line, (char const* line), {
  if (Module.onEngineMessage) Module.onEngineMessage(UTF8ToString(line));
});

namespace {

void forward_line(char const* line, void*) { nonet_web_forward_line(line); }

}  // namespace

extern "C" __attribute__((used, visibility("default"))) void nonet_web_route_messages() {
  sudoku_set_message_handler(forward_line, nullptr);
}
