// An allocator whose memory starts zeroed and whose pages that are never written are never made
// resident: big arrays of which most frames use only the start (the particle quads) cost what is
// used, not what is reserved.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

namespace velmora {

template <class T> struct ZeroedAllocator {
    using value_type = T;
    // Below this the C library's zeroed allocation is as good; above it the kernel's zero pages.
    static constexpr std::size_t cPageBytes = 256 * 1024;

    ZeroedAllocator() = default;
    template <class U> ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        void* p = nullptr;
        if (bytes >= cPageBytes) {
            p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED) p = nullptr;
        } else {
            p = std::calloc(n, sizeof(T));
        }
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) noexcept {
        if (n * sizeof(T) >= cPageBytes)
            munmap(p, n * sizeof(T));
        else
            std::free(p);
    }
    // Value-initialising writes nothing: fresh memory from allocate() is zero already (the vector
    // must be made anew, not grown back after shrinking, for that to hold).
    template <class U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <class U, class... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <class U> bool operator==(const ZeroedAllocator<U>&) const noexcept { return true; }
};

} // namespace velmora
