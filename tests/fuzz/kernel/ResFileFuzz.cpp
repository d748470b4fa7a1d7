// Any bytes as a compiled resource file: the reader either refuses them with ERROR_BAD_FORMAT
// or yields entries whose data lies inside the input, and lookups on them stay in bounds.
#include "kernel/ResFile.h"

#include "platform/kernel32.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> copy(data, data + size);
    platform::kernel::ResourceTable table;
    const DWORD result = platform::kernel::ParseResFile(copy.data(), copy.size(), table);
    if (result != ERROR_SUCCESS && result != ERROR_BAD_FORMAT) {
        std::abort();
    }
    if (result != ERROR_SUCCESS && table.Count() != 0) {
        std::abort();
    }
    using platform::kernel::ResourceId;
    const LPCSTR types[] = {RT_STRING, RT_DIALOG, RT_RCDATA, "S19", "JPGS"};
    unsigned sum = 0;
    for (LPCSTR type : types) {
        for (WORD id = 0; id < 200; id += 7) {
            DWORD error = 0;
            const auto* entry = table.Find(ResourceId::FromArgument(type),
                                           ResourceId::FromArgument(MAKEINTRESOURCE(id)), error);
            if (!entry) {
                continue;
            }
            if (entry->data < copy.data() ||
                entry->data + entry->size > copy.data() + copy.size()) {
                std::abort();
            }
            for (DWORD i = 0; i < entry->size; ++i) {
                sum += entry->data[i];
            }
        }
    }
    return static_cast<int>(sum & 0);
}
