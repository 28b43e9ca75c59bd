#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant must stop the run so that libFuzzer keeps the input, and say which one
// broke: abort() is reported as a crash with the input written next to it.
[[noreturn]] inline void fuzzInvariantBroken(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::abort();
}

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void() : fuzzInvariantBroken(#condition, __FILE__, __LINE__))
