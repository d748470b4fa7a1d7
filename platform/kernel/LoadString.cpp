#include "kernel/ByteReader.h"
#include "kernel/Module.h"
#include "kernel/Utf16.h"
#include "platform/kernel32.h"

#include <cstring>
#include <optional>

namespace {

// A string table block holds 16 counted UTF-16 strings; string `id` is number id % 16 of
// block id / 16 + 1.
std::optional<std::string> StringFromBlock(const std::uint8_t* data, DWORD size, UINT index) {
    const platform::kernel::ByteReader in(data, size);
    std::size_t offset = 0;
    for (UINT i = 0;; ++i) {
        std::uint16_t length = 0;
        if (!in.U16(offset, length) || !in.Fits(offset + 2, 2 * std::size_t{length})) {
            return std::nullopt;
        }
        if (i == index) {
            return platform::kernel::Utf16ToUtf8(data + offset + 2, length);
        }
        offset += 2 + 2 * std::size_t{length};
    }
}

} // namespace

int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    if (!lpBuffer || cchBufferMax <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    lpBuffer[0] = '\0';
    auto module = platform::kernel::FindModule(hInstance);
    if (!module) {
        return 0;
    }
    DWORD error = ERROR_SUCCESS;
    const auto* block = module->Resources().Find(
        platform::kernel::ResourceId::FromArgument(RT_STRING),
        platform::kernel::ResourceId::FromArgument(MAKEINTRESOURCE((uID >> 4) + 1)), error);
    if (!block) {
        SetLastError(error);
        return 0;
    }
    const std::uint8_t* data = module->Data(*block);
    if (!data) {
        return 0;
    }
    const auto text = StringFromBlock(data, block->size, uID & 15);
    if (!text) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    if (text->empty()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    const std::size_t length =
        platform::kernel::Utf8PrefixLength(*text, static_cast<std::size_t>(cchBufferMax - 1));
    std::memcpy(lpBuffer, text->data(), length);
    lpBuffer[length] = '\0';
    SetLastError(ERROR_SUCCESS);
    return static_cast<int>(length);
}
