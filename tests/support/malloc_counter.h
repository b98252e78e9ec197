// Counts every malloc, calloc and realloc of the program by wrapping glibc's allocator. Include it
// in exactly one source file of a program. Under AddressSanitizer, which owns these symbols,
// nothing is wrapped and KEYMORA_COUNT_MALLOC is 0.
#pragma once

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define KEYMORA_COUNT_MALLOC 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KEYMORA_COUNT_MALLOC 0
#endif
#endif
#ifndef KEYMORA_COUNT_MALLOC
#define KEYMORA_COUNT_MALLOC 1
#endif

namespace keymora::test {
/// Allocations made so far by the whole program.
inline std::atomic<long long> Allocations{0};
}  // namespace keymora::test

#if KEYMORA_COUNT_MALLOC
extern "C" {
void* __libc_malloc(std::size_t Size);
void* __libc_calloc(std::size_t Count, std::size_t Size);
void* __libc_realloc(void* Block, std::size_t Size);
void __libc_free(void* Block);

void* malloc(std::size_t Size) noexcept {
    keymora::test::Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(Size);
}
void* calloc(std::size_t Count, std::size_t Size) noexcept {
    keymora::test::Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(Count, Size);
}
void* realloc(void* Block, std::size_t Size) noexcept {
    keymora::test::Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(Block, Size);
}
void free(void* Block) noexcept {
    __libc_free(Block);
}
}
#endif
