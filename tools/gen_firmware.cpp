// Build-time tool: writes the firmware image the updater carries, a Motorola S-record file with
// CR LF line ends. The output is deterministic; the committed res/firmware.s19 is its output
// and a test checks that the two agree.
//
// Layout: one S0 header of 67 text bytes; program code in ten blocks between 0x7000 and
// 0xC394; the version block at 0xDE00 (major 1, minor 64: version 164); a constant table at
// 0xE000; the interrupt vectors at 0xFFDE-0xFFFF with reset at 0x7000; one S9 end record.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxRecordData = 32;

struct Block {
    std::uint16_t address;
    std::vector<std::uint8_t> bytes;
};

std::string Hex(unsigned value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kDigits[value & 15];
        value >>= 4;
    }
    return out;
}

std::string Record(char type, std::uint16_t address, const std::uint8_t* data, std::size_t n) {
    const unsigned count = static_cast<unsigned>(n) + 3;
    unsigned sum = count + (address >> 8) + (address & 0xFF);
    std::string line = std::string("S") + type + Hex(count, 2) + Hex(address, 4);
    for (std::size_t i = 0; i < n; ++i) {
        line += Hex(data[i], 2);
        sum += data[i];
    }
    return line + Hex(~sum & 0xFF, 2) + "\r\n";
}

// Code-like bytes: opcodes and operands from a fixed linear congruential sequence, never
// erased flash (0xFF), so every byte given is one the device must be programmed with.
std::vector<std::uint8_t> Code(std::uint32_t seed, std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    std::uint32_t state = seed;
    for (std::uint8_t& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(state >> 16);
        if (b == 0xFF) {
            b = 0x9D; // NOP
        }
    }
    return bytes;
}

std::vector<Block> CodeBlocks() {
    // Each block is 22 bytes short of a whole number of records, so the 615 code records hold
    // 19,460 bytes; the gaps between blocks add up to 1,937 bytes.
    const unsigned records[] = {90, 48, 75, 33, 66, 52, 80, 41, 70, 60};
    const unsigned gaps[] = {256, 128, 300, 97, 200, 400, 150, 206, 200, 0};
    std::vector<Block> blocks;
    unsigned address = 0x7000;
    for (std::size_t i = 0; i < 10; ++i) {
        const std::size_t length = records[i] * kMaxRecordData - 22;
        blocks.push_back({static_cast<std::uint16_t>(address), Code(0x164u + i, length)});
        address += static_cast<unsigned>(length) + gaps[i];
    }
    return blocks;
}

Block VersionBlock() {
    std::vector<std::uint8_t> bytes = {1, 64};
    const std::string text = "NERITH FW 1.64 908JR32";
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.resize(96, 0x00);
    return {0xDE00, bytes};
}

Block TableBlock() {
    std::vector<std::uint8_t> bytes(78);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 37 + 11) & 0x7F); // sensor curve steps
    }
    return {0xE000, bytes};
}

// Seventeen big-endian vectors; each handler sits in the code area, reset at its start.
Block VectorBlock() {
    std::vector<std::uint8_t> bytes;
    for (unsigned i = 0; i < 17; ++i) {
        const unsigned handler = i == 16 ? 0x7000 : 0x7100 + i * 0x40;
        bytes.push_back(static_cast<std::uint8_t>(handler >> 8));
        bytes.push_back(static_cast<std::uint8_t>(handler & 0xFF));
    }
    return {0xFFDE, bytes};
}

std::string Header() {
    std::string text = "Nerith pointing device firmware 1.64 / MCU 908JR32 / build 0164";
    text.resize(67, ' ');
    return Record('0', 0, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::string Image() {
    std::vector<Block> blocks = CodeBlocks();
    blocks.push_back(VersionBlock());
    blocks.push_back(TableBlock());
    blocks.push_back(VectorBlock());
    std::string out = Header();
    for (const Block& block : blocks) {
        for (std::size_t at = 0; at < block.bytes.size(); at += kMaxRecordData) {
            const std::size_t n = std::min(kMaxRecordData, block.bytes.size() - at);
            out += Record('1', static_cast<std::uint16_t>(block.address + at),
                          block.bytes.data() + at, n);
        }
    }
    return out + Record('9', 0, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: nerith-gen-firmware OUTPUT.s19\n");
        return 2;
    }
    const std::string image = Image();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "nerith-gen-firmware: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(image.data(), 1, image.size(), out) == image.size();
    return (std::fclose(out) == 0 && written) ? 0 : 1;
}
