#include "kernel/Module.h"
#include "platform/kernel32.h"

namespace {

using platform::kernel::Module;
using platform::kernel::ResourceEntry;

// An HRSRC is the address of the module's own entry; anything else is refused.
const ResourceEntry* EntryOf(const Module& module, HRSRC hResInfo) {
    const auto* entry = reinterpret_cast<const ResourceEntry*>(hResInfo);
    return module.Resources().Owns(entry) ? entry : nullptr;
}

} // namespace

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
    if (!lpName || !lpType) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto module = platform::kernel::FindModule(hModule);
    if (!module) {
        return nullptr;
    }
    DWORD error = ERROR_SUCCESS;
    const ResourceEntry* entry =
        module->Resources().Find(platform::kernel::ResourceId::FromArgument(lpType),
                                 platform::kernel::ResourceId::FromArgument(lpName), error);
    if (!entry) {
        SetLastError(error);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry));
}

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    auto module = platform::kernel::FindModule(hModule);
    if (!module) {
        return 0;
    }
    const ResourceEntry* entry = EntryOf(*module, hResInfo);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return entry->size;
}

// The data stays where the module holds it for as long as the module is loaded, as Windows
// maps it: LoadResource hands out its address and LockResource returns it unchanged.
HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    auto module = platform::kernel::FindModule(hModule);
    if (!module) {
        return nullptr;
    }
    const ResourceEntry* entry = EntryOf(*module, hResInfo);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<std::uint8_t*>(module->Data(*entry));
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
    return hResData;
}
