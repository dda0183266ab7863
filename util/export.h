// Symbol visibility for libnonet.so: the library is built with hidden default
// visibility. NONET_EXPORT makes a declaration eligible for export; the linker's
// export list (api/libnonet.map) then decides what actually leaves the library:
// the C interface and the documented C++ classes and free functions.
#pragma once

#if defined(_WIN32)
#define NONET_EXPORT __declspec(dllexport)
#else
#define NONET_EXPORT __attribute__((visibility("default")))
#endif
