#include "kernel/ResourceTable.h"

#include "platform/kernel32.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace platform::kernel {

namespace {

// "#123" names the integer id 123, as Windows reads it.
bool ParseNumber(const char* text, WORD& id) {
    if (!*text) {
        return false;
    }
    unsigned long value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned long>(*p - '0');
        if (value > 0xFFFF) {
            return false;
        }
    }
    id = static_cast<WORD>(value);
    return true;
}

} // namespace

std::string UpperCaseAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
    return text;
}

ResourceId ResourceId::FromArgument(LPCSTR value) {
    ResourceId result;
    if (IS_INTRESOURCE(value)) {
        result.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(value));
        return result;
    }
    if (value[0] == '#' && ParseNumber(value + 1, result.id)) {
        return result;
    }
    result.isString = true;
    result.name = UpperCaseAscii(value);
    return result;
}

bool ResourceId::operator==(const ResourceId& other) const {
    if (isString != other.isString) {
        return false;
    }
    return isString ? name == other.name : id == other.id;
}

const ResourceEntry* ResourceTable::Find(const ResourceId& type, const ResourceId& name,
                                         DWORD& error) const {
    if (entries_.empty()) {
        error = ERROR_RESOURCE_DATA_NOT_FOUND;
        return nullptr;
    }
    bool typeSeen = false;
    for (const ResourceEntry& entry : entries_) {
        if (!(entry.type == type)) {
            continue;
        }
        typeSeen = true;
        if (entry.name == name) {
            return &entry;
        }
    }
    error = typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND;
    return nullptr;
}

void ResourceTable::Merge(ResourceTable&& other) {
    entries_.insert(entries_.end(), std::make_move_iterator(other.entries_.begin()),
                    std::make_move_iterator(other.entries_.end()));
    other.entries_.clear();
}

bool ResourceTable::Owns(const ResourceEntry* entry) const {
    if (entries_.empty() || !entry) {
        return false;
    }
    const auto first = reinterpret_cast<std::uintptr_t>(entries_.data());
    const auto last = reinterpret_cast<std::uintptr_t>(&entries_.back());
    const auto at = reinterpret_cast<std::uintptr_t>(entry);
    return at >= first && at <= last && (at - first) % sizeof(ResourceEntry) == 0;
}

std::size_t ResourceTable::BytesFrom(const void* address) const {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    for (const ResourceEntry& entry : entries_) {
        const auto first = reinterpret_cast<std::uintptr_t>(entry.data);
        if (at >= first && at - first < entry.size) {
            return entry.size - (at - first);
        }
    }
    return 0;
}

} // namespace platform::kernel
