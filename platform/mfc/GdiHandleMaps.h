// The per-thread maps behind FromHandle: permanent entries for objects that own a handle,
// temporary wrappers for the rest.
#pragma once

#include "platform/afx/CDC.h"
#include "platform/afx/CGdiObject.h"

#include <memory>
#include <unordered_map>

namespace platform::mfc {

template <typename T> class HandleMap {
public:
    ~HandleMap() { DeleteTemporaries(); }

    void SetPermanent(void* handle, T* object) { permanent_[handle] = object; }
    void RemovePermanent(void* handle, T* object) {
        auto found = permanent_.find(handle);
        if (found != permanent_.end() && found->second == object) {
            permanent_.erase(found);
        }
    }
    T* FindPermanent(void* handle) const {
        auto found = permanent_.find(handle);
        return found == permanent_.end() ? nullptr : found->second;
    }
    T* FindTemporary(void* handle) const {
        auto found = temporary_.find(handle);
        return found == temporary_.end() ? nullptr : found->second.get();
    }
    T* AddTemporary(void* handle, std::unique_ptr<T> object) {
        T* raw = object.get();
        temporary_[handle] = std::move(object);
        return raw;
    }
    void DeleteTemporaries();

private:
    std::unordered_map<void*, T*> permanent_;
    std::unordered_map<void*, std::unique_ptr<T>> temporary_;
};

HandleMap<CGdiObject>& GdiMap();
HandleMap<CDC>& DcMap();

} // namespace platform::mfc
