// What a fuzzer does when the code under it breaks a promise: says which, and aborts, so that
// libFuzzer keeps the input that did it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace keymora::fuzz {

[[noreturn]] inline void Broken(const char* What) {
    std::fprintf(stderr, "broken promise: %s\n", What);
    std::abort();
}

inline void Check(bool Ok, const char* What) {
    if (!Ok) Broken(What);
}

}  // namespace keymora::fuzz
