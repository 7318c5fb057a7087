#pragma once

// The memory of this process, as a long session measures it: the resident set the system gives
// it, and the heap its allocations hold. Growth of the heap in use with the number of actions is
// a leak; the resident set growing while the heap stays flat is the allocator's fragmentation.

#include <cstdio>
#include <optional>
#include <unistd.h>

// AddressSanitizer allocates apart from the C library's arenas, which then tell nothing.
#if defined(__SANITIZE_ADDRESS__)
#define SONVEX_TEST_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SONVEX_TEST_OWN_ALLOCATOR 1
#endif
#endif

#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33)) &&          \
    !defined(SONVEX_TEST_OWN_ALLOCATOR)
#include <malloc.h>
#define SONVEX_TEST_HEAP_INFO 1
#endif

namespace simtest {

// The resident set, in bytes; 0 where the system does not tell.
inline long ResidentBytes() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// The bytes held by live allocations, in every arena and in the blocks mapped on their own;
// nothing where the C library cannot tell.
inline std::optional<long> HeapInUseBytes() {
#ifdef SONVEX_TEST_HEAP_INFO
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>(info.uordblks + info.hblkhd);
#else
    return std::nullopt;
#endif
}

} // namespace simtest
