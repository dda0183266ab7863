// The engine's diagnostic lines ("make_puzzle: ...", "GroupMap: ...", ...). They go
// to the standard error stream unless the host installed a handler, which then
// receives each completed line (without its newline).
#pragma once


using EngineMessageHandler = void (*)(char const* line, void* user);

// printf-style; text without a final newline is held (per thread) until a later
// call completes the line. Without a handler the text is written to stderr at once.
void engine_message(char const* format, ...) __attribute__((format(printf, 1, 2)));

// Null restores the standard error stream. Safe to call from any thread.
void set_engine_message_handler(EngineMessageHandler fn, void* user);
