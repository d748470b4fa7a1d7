// The pixel store behind window DCs and the display: 32-bit pixels 0x00RRGGBB, rows top-down.
// Memory bitmaps keep their own storage inside gdi; this is what windows paint into.
#pragma once

#include "platform/wintypes.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace platform::gdi {

// Memory for whole pictures comes straight from the system as fresh pages, which read as zero:
// nothing is written until drawn, and the pages go back at once when the picture is deleted
// (the heap would keep them resident). Blocks too small for pages of their own come zeroed
// from the heap.
inline constexpr std::size_t kPixelPagesFrom = std::size_t{64} * 1024;

inline void* AllocatePixelMemory(std::size_t bytes) {
    void* memory = nullptr;
    if (bytes < kPixelPagesFrom) {
        memory = std::calloc(bytes == 0 ? 1 : bytes, 1);
    } else if (void* pages = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
               pages != MAP_FAILED) {
        memory = pages;
    }
    if (!memory) {
        throw std::bad_alloc();
    }
    return memory;
}

inline void FreePixelMemory(void* memory, std::size_t bytes) noexcept {
    if (bytes < kPixelPagesFrom) {
        std::free(memory);
    } else if (memory) {
        ::munmap(memory, bytes);
    }
}

// Vectors of pixels start zeroed without writing a byte: an element made without a value keeps
// what its storage holds, which is zero for fresh storage (a vector that grows back into the
// capacity it had keeps the old pixels there).
template <typename T> struct PixelAllocator {
    using value_type = T;

    PixelAllocator() = default;
    template <typename U> explicit PixelAllocator(const PixelAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) { return static_cast<T*>(AllocatePixelMemory(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { FreePixelMemory(p, n * sizeof(T)); }
    template <typename U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <typename U> bool operator==(const PixelAllocator<U>&) const noexcept { return true; }
};

using PixelVector = std::vector<std::uint32_t, PixelAllocator<std::uint32_t>>;

struct Surface {
    int width = 0;
    int height = 0;
    PixelVector pixels; // width * height, row y at pixels[y * width]
    bool blank = true;  // every pixel still zero: nothing has been drawn on it yet

    Surface() = default;
    Surface(int w, int h, std::uint32_t fill = 0) : width(w), height(h), pixels(Count(w, h)) {
        if (fill != 0) {
            std::fill(pixels.begin(), pixels.end(), fill);
            blank = false;
        }
    }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

private:
    static std::size_t Count(int w, int h) { return static_cast<std::size_t>(w) * h; }
};

// A device context that draws into `surface`, its origin at `origin` of the surface and every
// operation clipped to `clip` (surface coordinates). Released with DeleteDC.
HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, RECT clip);

} // namespace platform::gdi
