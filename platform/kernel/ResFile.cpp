#include "kernel/ResFile.h"

#include "kernel/ByteReader.h"
#include "kernel/Utf16.h"
#include "platform/kernel32.h"

namespace platform::kernel {

namespace {

constexpr std::size_t kFixedHeaderTail = 16; // data version, flags, language, version, traits

std::size_t Align4(std::size_t value) {
    return (value + 3) & ~static_cast<std::size_t>(3);
}

// Reads a type or name field at `offset` within a header that ends at `end`.
bool ReadId(const ByteReader& in, std::size_t& offset, std::size_t end, ResourceId& id) {
    std::uint16_t first = 0;
    if (offset + 2 > end || !in.U16(offset, first)) {
        return false;
    }
    if (first == 0xFFFF) {
        if (offset + 4 > end || !in.U16(offset + 2, id.id)) {
            return false;
        }
        offset += 4;
        return true;
    }
    std::size_t units = 0;
    std::uint16_t unit = first;
    while (unit != 0) {
        ++units;
        if (offset + 2 * units + 2 > end || !in.U16(offset + 2 * units, unit)) {
            return false;
        }
    }
    id.isString = true;
    id.name = UpperCaseAscii(Utf16ToUtf8(in.Data() + offset, units));
    offset += 2 * units + 2;
    return true;
}

// Parses the entry at `offset`; returns the offset of the next one, or 0 when it is corrupt.
std::size_t ParseEntry(const ByteReader& in, std::size_t offset, ResourceTable& table) {
    std::uint32_t dataSize = 0;
    std::uint32_t headerSize = 0;
    if (!in.U32(offset, dataSize) || !in.U32(offset + 4, headerSize) || headerSize < 8 ||
        !in.Fits(offset, headerSize)) {
        return 0;
    }
    const std::size_t headerEnd = offset + headerSize;
    std::size_t field = offset + 8;
    ResourceEntry entry;
    if (!ReadId(in, field, headerEnd, entry.type) || !ReadId(in, field, headerEnd, entry.name)) {
        return 0;
    }
    field = Align4(field);
    if (field + kFixedHeaderTail > headerEnd || !in.U16(field + 6, entry.language)) {
        return 0;
    }
    const std::size_t dataOffset = Align4(headerEnd);
    if (!in.Fits(dataOffset, dataSize)) {
        return 0;
    }
    entry.data = in.Data() + dataOffset;
    entry.size = dataSize;
    // The file starts with an empty entry of type 0 that only marks the format.
    if (entry.type.isString || entry.type.id != 0) {
        table.Add(std::move(entry));
    }
    return Align4(dataOffset + dataSize);
}

} // namespace

DWORD ParseResFile(const std::uint8_t* data, std::size_t size, ResourceTable& table) {
    const ByteReader in(data, size);
    ResourceTable parsed;
    std::size_t offset = 0;
    while (offset < size) {
        if (parsed.Count() >= ResourceTable::kMaxEntries) {
            return ERROR_BAD_FORMAT;
        }
        offset = ParseEntry(in, offset, parsed);
        if (offset == 0) {
            return ERROR_BAD_FORMAT;
        }
    }
    if (size == 0) {
        return ERROR_BAD_FORMAT;
    }
    table.Merge(std::move(parsed));
    return ERROR_SUCCESS;
}

} // namespace platform::kernel
