// Symbol visibility for libnonet.so: the library is built with hidden default
// visibility; only the C interface and the documented C++ classes and free
// functions are exported.
#pragma once

#if defined(_WIN32)
#define NONET_EXPORT __declspec(dllexport)
#else
#define NONET_EXPORT __attribute__((visibility("default")))
#endif
