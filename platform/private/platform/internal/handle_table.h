// A table of live objects addressed by Win32-style handle values. Values are small, non-zero
// multiples of 4 that fit in 32 bits (a handle travels in 4-byte buffers, as on Windows), and
// carry a generation so that a stale handle is refused rather than aliasing a newer object.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

template <typename T> class HandleTable {
public:
    // Returns 0 when the table is full.
    std::uintptr_t Insert(std::shared_ptr<T> object) {
        std::lock_guard lock(mutex_);
        std::size_t slot = 0;
        while (slot < slots_.size() && slots_[slot].object) {
            ++slot;
        }
        if (slot >= kMaxSlots) {
            return 0;
        }
        if (slot == slots_.size()) {
            slots_.emplace_back();
        }
        Slot& s = slots_[slot];
        s.generation = (s.generation + 1) & kGenerationMask;
        if (s.generation == 0) {
            s.generation = 1;
        }
        s.object = std::move(object);
        return Encode(slot, s.generation);
    }

    std::shared_ptr<T> Get(std::uintptr_t value) const {
        std::lock_guard lock(mutex_);
        const Slot* s = Find(value);
        return s ? s->object : nullptr;
    }

    // Removes the entry and hands the object back, so the caller decides when it dies.
    std::shared_ptr<T> Remove(std::uintptr_t value) {
        std::lock_guard lock(mutex_);
        Slot* s = const_cast<Slot*>(Find(value));
        if (!s) {
            return nullptr;
        }
        return std::move(s->object);
    }

    std::size_t Count() const {
        std::lock_guard lock(mutex_);
        std::size_t n = 0;
        for (const Slot& s : slots_) {
            n += s.object ? 1 : 0;
        }
        return n;
    }

private:
    static constexpr std::size_t kMaxSlots = 1u << 16;
    static constexpr std::uint32_t kGenerationMask = 0x3FFF;

    struct Slot {
        std::uint32_t generation = 0;
        std::shared_ptr<T> object;
    };

    static std::uintptr_t Encode(std::size_t slot, std::uint32_t generation) {
        return ((static_cast<std::uintptr_t>(generation) << 16) | (slot + 1)) << 2;
    }

    const Slot* Find(std::uintptr_t value) const {
        if (value == 0 || (value & 3) != 0 || value > 0xFFFFFFFFu) {
            return nullptr;
        }
        const std::uintptr_t raw = value >> 2;
        const std::size_t slot = (raw & 0xFFFF);
        if (slot == 0 || slot > slots_.size()) {
            return nullptr;
        }
        const Slot& s = slots_[slot - 1];
        if (!s.object || s.generation != ((raw >> 16) & kGenerationMask)) {
            return nullptr;
        }
        return &s;
    }

    mutable std::mutex mutex_;
    std::vector<Slot> slots_;
};

} // namespace platform
