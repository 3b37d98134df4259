#pragma once
// Bytes the program holds on the heap: allocated and not yet freed, as the
// allocator itself counts them (under AddressSanitizer, its own allocator).
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime exports this count; GCC does not install the header
// that declares it, so it is declared here as the runtime defines it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
inline std::size_t heapinuse() {
    return __sanitizer_get_current_allocated_bytes();
}
#else
#include <malloc.h>
inline std::size_t heapinuse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd; // small blocks and mapped ones
}
#endif
