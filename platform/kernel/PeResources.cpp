#include "kernel/PeResources.h"

#include "kernel/ByteReader.h"
#include "kernel/Utf16.h"
#include "platform/kernel32.h"

#include <vector>

namespace platform::kernel {

namespace {

constexpr std::uint16_t kPe32 = 0x10B;
constexpr std::uint16_t kPe32Plus = 0x20B;
constexpr std::size_t kResourceDirectory = 2;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;
constexpr std::size_t kMaxVisits = 1u << 18;

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

struct Image {
    std::vector<Section> sections;
    std::uint32_t resourceRva = 0;
    std::uint32_t resourceSize = 0;
    std::uint64_t fileSize = 0;
};

// Translates an RVA range into a file offset range inside one section's raw data and the file.
bool RvaToOffset(const Image& image, std::uint32_t rva, std::uint32_t length, std::size_t& offset) {
    for (const Section& s : image.sections) {
        const std::uint64_t start = s.virtualAddress;
        const std::uint64_t span =
            s.rawSize < s.virtualSize || s.virtualSize == 0 ? s.rawSize : s.virtualSize;
        if (rva < start || rva - start >= span) {
            continue;
        }
        if (static_cast<std::uint64_t>(rva - start) + length > span) {
            return false;
        }
        offset = static_cast<std::size_t>(s.rawOffset) + (rva - start);
        return offset <= image.fileSize && length <= image.fileSize - offset;
    }
    return false;
}

bool ReadHeaders(const ByteReader& in, Image& image) {
    std::uint16_t mz = 0;
    std::uint32_t peOffset = 0;
    std::uint32_t signature = 0;
    if (!in.U16(0, mz) || mz != 0x5A4D || !in.U32(0x3C, peOffset) || !in.U32(peOffset, signature) ||
        signature != 0x00004550) {
        return false;
    }
    const std::size_t coff = static_cast<std::size_t>(peOffset) + 4;
    std::uint16_t sectionCount = 0;
    std::uint16_t optionalSize = 0;
    std::uint16_t magic = 0;
    if (!in.U16(coff + 2, sectionCount) || !in.U16(coff + 16, optionalSize) ||
        !in.U16(coff + 20, magic) || (magic != kPe32 && magic != kPe32Plus)) {
        return false;
    }
    const std::size_t optional = coff + 20;
    const std::size_t directories = optional + (magic == kPe32 ? 96 : 112);
    std::uint32_t directoryCount = 0;
    if (!in.U32(directories - 4, directoryCount) ||
        directories + 8 * std::size_t{directoryCount} > optional + optionalSize) {
        return false;
    }
    if (directoryCount > kResourceDirectory &&
        (!in.U32(directories + 8 * kResourceDirectory, image.resourceRva) ||
         !in.U32(directories + 8 * kResourceDirectory + 4, image.resourceSize))) {
        return false;
    }
    const std::size_t table = optional + optionalSize;
    if (!in.Fits(table, 40 * std::size_t{sectionCount})) {
        return false;
    }
    for (std::size_t i = 0; i < sectionCount; ++i) {
        Section s{};
        const std::size_t at = table + 40 * i;
        in.U32(at + 8, s.virtualSize);
        in.U32(at + 12, s.virtualAddress);
        in.U32(at + 16, s.rawSize);
        in.U32(at + 20, s.rawOffset);
        image.sections.push_back(s);
    }
    return true;
}

class TreeReader {
public:
    TreeReader(const ByteReader& in, std::size_t base, std::size_t size, const Image& image,
               ResourceTable& table)
        : in_(in), base_(base), size_(size), image_(image), table_(table) {}

    bool Read() { return Directory(0, 0, ResourceEntry{}); }

private:
    bool Inside(std::uint32_t offset, std::size_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

    bool Directory(std::uint32_t offset, int level, const ResourceEntry& path) {
        std::uint16_t named = 0;
        std::uint16_t ids = 0;
        if (!Inside(offset, 16) || !in_.U16(base_ + offset + 12, named) ||
            !in_.U16(base_ + offset + 14, ids)) {
            return false;
        }
        const std::size_t count = std::size_t{named} + ids;
        if (!Inside(offset + 16, 8 * count)) {
            return false;
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (++visits_ > kMaxVisits || !Entry(offset + 16 + 8 * i, level, path)) {
                return false;
            }
        }
        return true;
    }

    bool Entry(std::size_t at, int level, ResourceEntry path) {
        std::uint32_t name = 0;
        std::uint32_t target = 0;
        in_.U32(base_ + at, name);
        in_.U32(base_ + at + 4, target);
        ResourceId id;
        if (!Identifier(name, id)) {
            return false;
        }
        if (level == 0) {
            path.type = std::move(id);
        } else if (level == 1) {
            path.name = std::move(id);
        } else {
            path.language = id.id;
        }
        const bool subdirectory = (target & kSubdirectoryBit) != 0;
        // A tree is three levels deep: type, name, language; anything else is corrupt and
        // also stops a directory that refers to itself.
        if (subdirectory != (level < 2)) {
            return false;
        }
        if (subdirectory) {
            return Directory(target & ~kSubdirectoryBit, level + 1, path);
        }
        return Data(target, std::move(path));
    }

    bool Identifier(std::uint32_t name, ResourceId& id) const {
        if (!(name & kSubdirectoryBit)) {
            id.id = static_cast<WORD>(name);
            return name <= 0xFFFF;
        }
        const std::uint32_t offset = name & ~kSubdirectoryBit;
        std::uint16_t length = 0;
        if (!Inside(offset, 2) || !in_.U16(base_ + offset, length) ||
            !Inside(offset + 2, 2 * std::size_t{length}) ||
            !in_.Fits(base_ + offset + 2, 2 * std::size_t{length})) {
            return false;
        }
        id.isString = true;
        id.name = UpperCaseAscii(Utf16ToUtf8(in_.Data() + base_ + offset + 2, length));
        return true;
    }

    bool Data(std::uint32_t offset, ResourceEntry entry) {
        std::uint32_t rva = 0;
        std::uint32_t size = 0;
        std::size_t file = 0;
        if (!Inside(offset, 16) || !in_.U32(base_ + offset, rva) ||
            !in_.U32(base_ + offset + 4, size) || !RvaToOffset(image_, rva, size, file) ||
            table_.Count() >= ResourceTable::kMaxEntries) {
            return false;
        }
        entry.fileOffset = file;
        entry.size = size;
        table_.Add(std::move(entry));
        return true;
    }

    const ByteReader& in_;
    std::size_t base_;
    std::size_t size_;
    const Image& image_;
    ResourceTable& table_;
    std::size_t visits_ = 0;
};

} // namespace

DWORD ParsePeResources(const std::uint8_t* data, std::size_t size, std::uint64_t fileSize,
                       ResourceTable& table) {
    const ByteReader in(data, size);
    Image image;
    image.fileSize = fileSize;
    if (!ReadHeaders(in, image)) {
        return ERROR_BAD_FORMAT;
    }
    if (image.resourceRva == 0 || image.resourceSize == 0) {
        return ERROR_SUCCESS;
    }
    std::size_t base = 0;
    if (!RvaToOffset(image, image.resourceRva, image.resourceSize, base)) {
        return ERROR_BAD_FORMAT;
    }
    ResourceTable parsed;
    TreeReader reader(in, base, image.resourceSize, image, parsed);
    if (!reader.Read()) {
        return ERROR_BAD_FORMAT;
    }
    table.Merge(std::move(parsed));
    return ERROR_SUCCESS;
}

} // namespace platform::kernel
