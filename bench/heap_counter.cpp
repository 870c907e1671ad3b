#include "heap_counter.h"

#include <cstdlib>
#include <new>

namespace {
std::size_t live = 0;
std::size_t peak = 0;

// Each block carries its size in front of it, so that every form of delete can count it.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* allocate(std::size_t size) {
    auto* block = static_cast<char*>(std::malloc(size + kHeader));
    if (block == nullptr)
        return nullptr;
    *reinterpret_cast<std::size_t*>(block) = size;
    live += size;
    if (live > peak)
        peak = live;
    return block + kHeader;
}

void release(void* pointer) {
    if (pointer == nullptr)
        return;
    char* block = static_cast<char*>(pointer) - kHeader;
    live -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

void* allocateOrThrow(std::size_t size) {
    if (void* pointer = allocate(size))
        return pointer;
    throw std::bad_alloc();
}
} // namespace

namespace heap_counter {
std::size_t liveBytes() {
    return live;
}
void resetPeak() {
    peak = live;
}
std::size_t peakBytes() {
    return peak;
}
} // namespace heap_counter

void* operator new(std::size_t size) {
    return allocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return allocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void operator delete(void* pointer) noexcept {
    release(pointer);
}
void operator delete[](void* pointer) noexcept {
    release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    release(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
    release(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
    release(pointer);
}
