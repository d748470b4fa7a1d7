// Global memory blocks. A fixed block's handle is its address, as on Windows; a moveable
// block's handle is the address of its bookkeeping record, so it stays the same while the
// data moves. A moveable block moves on GlobalReAlloc only while nobody has it locked.
#include "platform/kernel32.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

namespace {

// Requests beyond this are refused up front rather than left to the allocator.
constexpr SIZE_T kMaxBlock = 0x7FFFFFFF;

struct Block {
    bool moveable = false;
    char* data = nullptr;
    SIZE_T size = 0;
    SIZE_T capacity = 0;
    DWORD locks = 0;

    ~Block() { std::free(data); }
};

struct Registry {
    std::mutex mutex;
    std::unordered_map<HGLOBAL, std::unique_ptr<Block>> blocks;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

Block* Lookup(Registry& r, HGLOBAL handle) {
    const auto it = r.blocks.find(handle);
    if (it == r.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

// Always at least one byte, so every block has a distinct address.
char* AllocateZeroed(SIZE_T size) {
    return static_cast<char*>(std::calloc(size ? size : 1, 1));
}

HGLOBAL Register(Registry& r, std::unique_ptr<Block> block) {
    HGLOBAL handle = block->moveable ? static_cast<HGLOBAL>(block.get()) : block->data;
    r.blocks.emplace(handle, std::move(block));
    return handle;
}

// Grows or shrinks the block; `mayMove` allows new storage when the old cannot hold the size.
bool Resize(Block& block, SIZE_T size, bool mayMove) {
    if (size <= block.capacity) {
        if (size > block.size) {
            std::memset(block.data + block.size, 0, size - block.size);
        }
        block.size = size;
        return true;
    }
    if (!mayMove) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    char* data = AllocateZeroed(size);
    if (!data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    std::memcpy(data, block.data, block.size);
    std::free(block.data);
    block.data = data;
    block.size = size;
    block.capacity = size;
    return true;
}

} // namespace

// New memory is always zeroed, GMEM_ZEROINIT or not: stale heap bytes never reach a caller.
HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    if (dwBytes > kMaxBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    try {
        auto block = std::make_unique<Block>();
        block->moveable = (uFlags & GMEM_MOVEABLE) != 0;
        block->data = AllocateZeroed(dwBytes);
        if (!block->data) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        block->size = dwBytes;
        block->capacity = dwBytes;
        Registry& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        return Register(r, std::move(block));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
    if (dwBytes > kMaxBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    Block* block = Lookup(r, hMem);
    if (!block) {
        return nullptr;
    }
    if (block->moveable) {
        return Resize(*block, dwBytes, block->locks == 0) ? hMem : nullptr;
    }
    // A fixed block keeps its address unless the caller allows a move; its handle is that
    // address, so a move changes the handle.
    const bool mayMove = (uFlags & GMEM_MOVEABLE) != 0;
    auto node = r.blocks.extract(hMem);
    const bool resized = Resize(*node.mapped(), dwBytes, mayMove);
    node.key() = node.mapped()->data;
    HGLOBAL handle = node.key();
    r.blocks.insert(std::move(node));
    return resized ? handle : nullptr;
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    Block* block = Lookup(r, hMem);
    if (!block) {
        return nullptr;
    }
    if (!block->moveable) {
        return block->data;
    }
    if (block->size == 0) {
        SetLastError(ERROR_DISCARDED);
        return nullptr;
    }
    ++block->locks;
    return block->data;
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    Block* block = Lookup(r, hMem);
    if (!block) {
        return FALSE;
    }
    if (!block->moveable) {
        return TRUE;
    }
    if (block->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    --block->locks;
    SetLastError(NO_ERROR);
    return block->locks > 0 ? TRUE : FALSE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (r.blocks.erase(hMem) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return hMem;
    }
    return nullptr;
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    Block* block = Lookup(r, hMem);
    return block ? block->size : 0;
}
