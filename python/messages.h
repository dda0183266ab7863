// The engine's diagnostic lines routed to Python's logging (logger "nonet").
#pragma once

namespace nonet_py {

// Hands the lines the engine wrote since the last call to logging.getLogger("nonet"):
// generation statistics at DEBUG, failures at WARNING, the rest at INFO. Needs the GIL;
// a Python exception already set is kept.
void emit_engine_messages();

}  // namespace nonet_py
