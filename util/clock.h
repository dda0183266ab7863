// Monotonic millisecond clock.
#pragma once

#include <cstdint>

int64_t steady_now_ms();
