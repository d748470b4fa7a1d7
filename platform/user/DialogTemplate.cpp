#include "DialogTemplate.h"

#include "platform/kernel32.h"

#include <cstring>

namespace platform::user {

namespace {

// A read cursor over the template that fails, rather than reads, past its end.
class Reader {
public:
    Reader(const BYTE* data, std::size_t size) : data_(data), size_(size) {}

    bool Ok() const { return ok_; }
    std::size_t Offset() const { return offset_; }

    template <typename T> T Read() {
        T value{};
        if (!ok_ || size_ - offset_ < sizeof(T)) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }

    void AlignTo(std::size_t alignment) {
        const std::size_t aligned = (offset_ + alignment - 1) / alignment * alignment;
        if (aligned > size_) {
            // Padding after the last item may be cut off; only a read past the end fails.
            offset_ = size_;
            return;
        }
        offset_ = aligned;
    }

    void Skip(std::size_t count) {
        if (!ok_ || size_ - offset_ < count) {
            ok_ = false;
            return;
        }
        offset_ += count;
    }

    const BYTE* Here() const { return data_ + offset_; }

    // A zero-terminated UTF-16 string, converted to UTF-8.
    std::string ReadString() {
        std::string text;
        for (;;) {
            const WORD unit = Read<WORD>();
            if (!ok_ || unit == 0) {
                return text;
            }
            AppendUtf8(text, unit);
        }
    }

    NameOrOrdinal ReadNameOrOrdinal() {
        NameOrOrdinal field;
        const WORD first = Read<WORD>();
        if (!ok_ || first == 0) {
            return field;
        }
        field.present = true;
        if (first == 0xFFFF) {
            field.isOrdinal = true;
            field.ordinal = Read<WORD>();
            return field;
        }
        AppendUtf8(field.text, first);
        field.text += ReadString();
        return field;
    }

private:
    // Surrogate pairs are not joined: the platform's own texts are ASCII, and a lone half
    // becomes U+FFFD rather than invalid UTF-8.
    static void AppendUtf8(std::string& text, WORD unit) {
        unsigned cp = unit;
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            text += static_cast<char>(cp);
        } else if (cp < 0x800) {
            text += static_cast<char>(0xC0 | (cp >> 6));
            text += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            text += static_cast<char>(0xE0 | (cp >> 12));
            text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    const BYTE* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
    bool ok_ = true;
};

constexpr WORD kExtendedSignature = 0xFFFF;
constexpr std::size_t kMaxItems = 4096;

void ReadHeader(Reader& r, DialogTemplate& t, WORD& count) {
    const WORD version = r.Read<WORD>();
    const WORD signature = r.Read<WORD>();
    t.extended = version == 1 && signature == kExtendedSignature;
    if (t.extended) {
        t.helpId = r.Read<DWORD>();
        t.exStyle = r.Read<DWORD>();
        t.style = r.Read<DWORD>();
    } else {
        // The classic header starts with the style, which the two words above hold.
        t.style = static_cast<DWORD>(version) | (static_cast<DWORD>(signature) << 16);
        t.exStyle = r.Read<DWORD>();
    }
    count = r.Read<WORD>();
    t.x = r.Read<short>();
    t.y = r.Read<short>();
    t.cx = r.Read<short>();
    t.cy = r.Read<short>();
    t.menu = r.ReadNameOrOrdinal();
    t.windowClass = r.ReadNameOrOrdinal();
    t.caption = r.ReadString();
}

void ReadFont(Reader& r, DialogTemplate& t) {
    t.hasFont = (t.style & DS_SETFONT) != 0;
    if (!t.hasFont) {
        return;
    }
    t.pointSize = r.Read<WORD>();
    if (t.extended) {
        t.weight = r.Read<WORD>();
        t.italic = r.Read<BYTE>();
        t.charset = r.Read<BYTE>();
    }
    t.faceName = r.ReadString();
}

DialogItem ReadItem(Reader& r, bool extended) {
    DialogItem item;
    r.AlignTo(4);
    if (extended) {
        item.helpId = r.Read<DWORD>();
        item.exStyle = r.Read<DWORD>();
        item.style = r.Read<DWORD>();
    } else {
        item.style = r.Read<DWORD>();
        item.exStyle = r.Read<DWORD>();
    }
    item.x = r.Read<short>();
    item.y = r.Read<short>();
    item.cx = r.Read<short>();
    item.cy = r.Read<short>();
    item.id = extended ? r.Read<DWORD>() : r.Read<WORD>();
    item.windowClass = r.ReadNameOrOrdinal();
    item.title = r.ReadNameOrOrdinal();
    const WORD extra = r.Read<WORD>();
    if (extra > 0 && r.Ok()) {
        const BYTE* start = r.Here();
        r.Skip(extra);
        if (r.Ok()) {
            item.creationData.assign(start, start + extra);
        }
    }
    return item;
}

bool Fail() {
    SetLastError(ERROR_INVALID_DATA);
    return false;
}

} // namespace

const char* PredefinedClassName(WORD ordinal) {
    switch (ordinal) {
    case 0x0080:
        return "Button";
    case 0x0081:
        return "Edit";
    case 0x0082:
        return "Static";
    case 0x0083:
        return "ListBox";
    case 0x0084:
        return "ScrollBar";
    case 0x0085:
        return "ComboBox";
    default:
        return nullptr;
    }
}

bool ParseDialogTemplate(const void* data, std::size_t size, DialogTemplate& out) {
    if (!data) {
        return Fail();
    }
    Reader r(static_cast<const BYTE*>(data), size);
    DialogTemplate t;
    WORD count = 0;
    ReadHeader(r, t, count);
    ReadFont(r, t);
    if (!r.Ok() || count > kMaxItems) {
        return Fail();
    }
    for (WORD i = 0; i < count; ++i) {
        DialogItem item = ReadItem(r, t.extended);
        if (!r.Ok()) {
            return Fail();
        }
        t.items.push_back(std::move(item));
    }
    out = std::move(t);
    return true;
}

} // namespace platform::user
