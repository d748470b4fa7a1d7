// The resources of one module, parsed once from a .res file or a PE image's resource section.
// Entries of the executable point into bytes it keeps alive for as long as the table exists;
// entries of a library say where their bytes lie in its file, read when first loaded.
#pragma once

#include "platform/wintypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::kernel {

// A resource type or name: an integer id, or a string stored upper-cased, as the resource
// compiler and FindResourceA both upper-case names before comparing them.
struct ResourceId {
    bool isString = false;
    WORD id = 0;
    std::string name;

    // From a FindResourceA argument: MAKEINTRESOURCE value, "#123" or a name.
    static ResourceId FromArgument(LPCSTR value);
    bool operator==(const ResourceId& other) const;
};

std::string UpperCaseAscii(std::string text);

struct ResourceEntry {
    ResourceId type;
    ResourceId name;
    WORD language = 0;
    const std::uint8_t* data = nullptr; // nullptr: at fileOffset in the module's file
    std::uint64_t fileOffset = 0;
    DWORD size = 0;
};

class ResourceTable {
public:
    // Most resources a module may hold; more is treated as a corrupt file.
    static constexpr std::size_t kMaxEntries = 1u << 16;

    void Add(ResourceEntry entry) { entries_.push_back(std::move(entry)); }
    void Merge(ResourceTable&& other);
    std::size_t Count() const { return entries_.size(); }

    // The first entry of that type and name, whatever its language; nullptr with
    // ERROR_RESOURCE_DATA_NOT_FOUND (no resources at all), ERROR_RESOURCE_TYPE_NOT_FOUND or
    // ERROR_RESOURCE_NAME_NOT_FOUND as the error.
    const ResourceEntry* Find(const ResourceId& type, const ResourceId& name, DWORD& error) const;
    bool Owns(const ResourceEntry* entry) const;
    // The bytes of the entry holding `address` from there to its end; 0 when none holds it.
    std::size_t BytesFrom(const void* address) const;

private:
    std::vector<ResourceEntry> entries_;
};

} // namespace platform::kernel
