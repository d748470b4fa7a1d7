#include "Icon.h"

#include "platform/gdi32.h"
#include "platform/internal/handle_table.h"
#include "platform/kernel32.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace platform::user {

namespace {

constexpr int kMaxIconSide = 256;
constexpr std::size_t kGroupHeader = 6;
constexpr std::size_t kGroupEntry = 14;

HandleTable<IconData>& Icons() {
    static HandleTable<IconData> table;
    return table;
}

template <typename T> T Get(const BYTE* p) {
    T value{};
    std::memcpy(&value, p, sizeof(T));
    return value;
}

std::size_t Stride(int width, int bits) {
    return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
}

struct Palette {
    const BYTE* entries;
    std::size_t count;
};

// The colour of pixel x in one XOR row, as 0x00RRGGBB, and its alpha for 32-bit images. An
// index past the palette is black, as GDI draws it, and never reads beyond the palette.
std::uint32_t XorPixel(const BYTE* row, int x, int bits, const Palette& palette) {
    const auto at = static_cast<std::size_t>(x);
    switch (bits) {
    case 32:
        return Get<std::uint32_t>(row + 4 * at);
    case 24:
        return static_cast<std::uint32_t>(row[3 * at]) | (row[3 * at + 1] << 8) |
               (row[3 * at + 2] << 16);
    default: {
        const int perByte = 8 / bits;
        const int shift = (perByte - 1 - x % perByte) * bits;
        const auto index =
            static_cast<std::size_t>((row[x / perByte] >> shift) & ((1 << bits) - 1));
        if (index >= palette.count) {
            return 0;
        }
        const BYTE* q = palette.entries + 4 * index;
        return static_cast<std::uint32_t>(q[0]) | (q[1] << 8) | (q[2] << 16);
    }
    }
}

bool MaskBit(const BYTE* row, int x) {
    return (row[x / 8] >> (7 - x % 8)) & 1;
}

std::map<std::string, HICON>& SharedIcons() {
    static std::map<std::string, HICON> icons;
    return icons;
}

std::mutex& SharedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string CacheKey(HINSTANCE instance, LPCSTR name) {
    const auto base = std::to_string(reinterpret_cast<std::uintptr_t>(instance)) + ":";
    return IS_INTRESOURCE(name)
               ? base + "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name))
               : base + name;
}

const BYTE* LoadBytes(HINSTANCE instance, LPCSTR name, LPCSTR type, std::size_t& size) {
    const HRSRC res = FindResourceA(instance, name, type);
    const HGLOBAL loaded = res ? LoadResource(instance, res) : nullptr;
    size = res ? SizeofResource(instance, res) : 0;
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

HICON Load(HINSTANCE instance, LPCSTR name) {
    std::size_t groupSize = 0;
    const BYTE* group = LoadBytes(instance, name, RT_GROUP_ICON, groupSize);
    if (!group) {
        return nullptr;
    }
    const WORD id = ChooseIconImage(group, groupSize, GetSystemMetrics(SM_CXICON));
    std::size_t imageSize = 0;
    const BYTE* image =
        id ? LoadBytes(instance, MAKEINTRESOURCEA(id), RT_ICON, imageSize) : nullptr;
    auto data = std::make_shared<IconData>();
    if (!image || !DecodeIconImage(image, imageSize, *data)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return reinterpret_cast<HICON>(Icons().Insert(std::move(data)));
}

} // namespace

std::shared_ptr<const IconData> GetIconData(HICON icon) {
    return Icons().Get(reinterpret_cast<std::uintptr_t>(icon));
}

WORD ChooseIconImage(const BYTE* directory, std::size_t size, int wanted) {
    if (!directory || size < kGroupHeader || Get<WORD>(directory + 2) != 1) {
        return 0;
    }
    const WORD count = Get<WORD>(directory + 4);
    WORD best = 0;
    long bestScore = -1;
    for (WORD i = 0; i < count && kGroupHeader + (i + 1) * kGroupEntry <= size; ++i) {
        const BYTE* e = directory + kGroupHeader + i * kGroupEntry;
        const int side = e[0] ? e[0] : kMaxIconSide;
        const int bits = Get<WORD>(e + 6);
        // Exact size first, then larger ones (shrinking looks better), then depth.
        const long distance = side == wanted  ? 0
                              : side > wanted ? side - wanted
                                              : 1000 + wanted - side;
        const long score = 100000 - distance * 64 + bits;
        if (score > bestScore) {
            bestScore = score;
            best = Get<WORD>(e + 12);
        }
    }
    return best;
}

bool DecodeIconImage(const BYTE* data, std::size_t size, IconData& out) {
    if (!data || size < sizeof(BITMAPINFOHEADER) || Get<DWORD>(data) < sizeof(BITMAPINFOHEADER)) {
        return false; // too short, or PNG data, which icons here never carry
    }
    const auto h = Get<BITMAPINFOHEADER>(data);
    const int width = h.biWidth;
    const int height = h.biHeight / 2;
    const int bits = h.biBitCount;
    const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
    if (width <= 0 || width > kMaxIconSide || height <= 0 || height > kMaxIconSide || !knownDepth ||
        h.biCompression != BI_RGB) {
        return false;
    }
    const std::size_t colours = bits <= 8 ? (h.biClrUsed ? h.biClrUsed : 1u << bits) : 0;
    if (colours > 256) {
        return false;
    }
    const std::size_t paletteAt = h.biSize;
    const std::size_t xorAt = paletteAt + 4 * colours;
    const std::size_t andAt = xorAt + Stride(width, bits) * height;
    const bool hasMask = andAt + Stride(width, 1) * height <= size;
    if (h.biSize > size || andAt > size || (!hasMask && bits != 32)) {
        return false;
    }
    out.width = width;
    out.height = height;
    out.argb.assign(static_cast<std::size_t>(width) * height, 0);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const BYTE* row = data + xorAt + Stride(width, bits) * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = XorPixel(row, x, bits, Palette{data + paletteAt, colours});
            anyAlpha = anyAlpha || (bits == 32 && (p >> 24) != 0);
            out.argb[static_cast<std::size_t>(y) * width + x] = bits == 32 ? p : (p | 0xFF000000u);
        }
    }
    if (bits == 32 && anyAlpha) {
        return true;
    }
    out.invert.assign(out.argb.size(), 0);
    for (int y = 0; y < height && hasMask; ++y) {
        const BYTE* row = data + andAt + Stride(width, 1) * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * width + x;
            const bool masked = MaskBit(row, x);
            out.invert[at] = masked ? out.argb[at] & 0x00FFFFFFu : 0;
            out.argb[at] = masked ? 0 : ((out.argb[at] & 0x00FFFFFFu) | 0xFF000000u);
        }
    }
    return true;
}

namespace {

void Invert(HDC hdc, POINT at, std::uint32_t rgb) {
    if (rgb == 0) {
        return;
    }
    const COLORREF under = GetPixel(hdc, at.x, at.y);
    SetPixel(hdc, at.x, at.y, under ^ RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
}

} // namespace

BOOL DrawIconScaled(HDC hdc, int x, int y, HICON icon, int size) {
    const auto data = GetIconData(icon);
    if (!hdc || !data || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (int dy = 0; dy < size; ++dy) {
        for (int dx = 0; dx < size; ++dx) {
            const int sx = dx * data->width / size;
            const int sy = dy * data->height / size;
            const std::size_t at = static_cast<std::size_t>(sy) * data->width + sx;
            const std::uint32_t p = data->argb[at];
            const unsigned a = p >> 24;
            if (a == 0) {
                Invert(hdc, POINT{x + dx, y + dy}, at < data->invert.size() ? data->invert[at] : 0);
                continue;
            }
            COLORREF c = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            if (a < 255) {
                const COLORREF under = GetPixel(hdc, x + dx, y + dy);
                const auto mix = [a](unsigned top, unsigned bottom) {
                    return (top * a + bottom * (255 - a) + 127) / 255;
                };
                c = RGB(mix(GetRValue(c), GetRValue(under)), mix(GetGValue(c), GetGValue(under)),
                        mix(GetBValue(c), GetBValue(under)));
            }
            SetPixel(hdc, x + dx, y + dy, c);
        }
    }
    return TRUE;
}

} // namespace platform::user

using namespace platform::user;

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    if (!lpIconName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    try {
        const std::string key = CacheKey(hInstance, lpIconName);
        std::lock_guard lock(SharedMutex());
        const auto it = SharedIcons().find(key);
        if (it != SharedIcons().end()) {
            return it->second;
        }
        const HICON icon = Load(hInstance, lpIconName);
        if (icon) {
            SharedIcons()[key] = icon;
        }
        return icon;
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

// Drawn at the system's icon size whatever the image's own, as Windows draws it.
BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    return DrawIconScaled(hDC, X, Y, hIcon, GetSystemMetrics(SM_CXICON));
}

// Icons from LoadIconA are shared, as on Windows: destroying one leaves it usable.
BOOL WINAPI DestroyIcon(HICON hIcon) {
    return GetIconData(hIcon) != nullptr;
}
