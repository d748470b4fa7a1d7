#include "Font.h"

#include "platform/internal/UniqueFd.h"
#include "platform/kernel32.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

namespace platform::gdi {

namespace {

// FreeType objects made from one library must not be created or destroyed concurrently.
std::mutex& FreeTypeMutex() {
    static std::mutex mutex;
    return mutex;
}

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        return FT_Init_FreeType(&lib) == 0 ? lib : nullptr;
    }();
    return library;
}

// The classic dialog faces have no counterpart here; a plain sans-serif face stands in.
const char* MappedFamily(const char* requested) {
    static const char* const kSansNames[] = {"",
                                             "MS Sans Serif",
                                             "System",
                                             "MS Shell Dlg",
                                             "MS Shell Dlg 2",
                                             "Microsoft Sans Serif",
                                             "Tahoma"};
    for (const char* name : kSansNames) {
        if (strcasecmp(requested, name) == 0) {
            return "DejaVu Sans";
        }
    }
    return requested;
}

struct MatchedFile {
    std::string path;
    int index = 0;
};

// Every Windows face stands in for one sans-serif face, so only the system's font folders and
// their caches are needed to find it. The desktop's configuration (tens of rule files, a few
// milliseconds before the first dialog can be measured) would add nothing but a user's rules
// that change the stand-in; a configuration named in the environment is still honoured.
constexpr char kStandInConfiguration[] = R"(<?xml version="1.0"?>
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir>/usr/lib/fontconfig/cache</cachedir>
  <alias><family>sans-serif</family><prefer><family>DejaVu Sans</family></prefer></alias>
</fontconfig>)";

bool UseStandInConfiguration() {
    FcConfig* config = FcConfigCreate();
    if (!config) {
        return false;
    }
    const auto* text = reinterpret_cast<const FcChar8*>(kStandInConfiguration);
    if (!FcConfigParseAndLoadFromMemory(config, text, FcTrue) || !FcConfigBuildFonts(config) ||
        !FcConfigSetCurrent(config)) {
        FcConfigDestroy(config);
        return false;
    }
    // The current configuration holds its own reference now.
    FcConfigDestroy(config);
    return true;
}

bool ConfigurationNamedInEnvironment() {
    return std::getenv("FONTCONFIG_FILE") != nullptr || std::getenv("FONTCONFIG_PATH") != nullptr;
}

// Fontconfig holds its configuration until FcFini; fonts keep only file names, so it is let
// go at exit rather than left for leak checkers to report.
bool InitFontconfig() {
    static const bool ready = [] {
        const bool loaded =
            ConfigurationNamedInEnvironment() ? FcInit() != FcFalse : UseStandInConfiguration();
        if (!loaded) {
            return false;
        }
        std::atexit([] { FcFini(); });
        return true;
    }();
    return ready;
}

bool MatchFont(const LOGFONTA& log, MatchedFile& out) {
    if (!InitFontconfig()) {
        return false;
    }
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, log.lfFaceName, LF_FACESIZE);
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) {
        return false;
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(MappedFamily(face)));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT,
                        log.lfWeight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, log.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) {
        return false;
    }
    FcChar8* file = nullptr;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
    if (found) {
        out.path = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &out.index);
    }
    FcPatternDestroy(match);
    return found;
}

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

// FreeType's stream reader: `count` bytes at `offset`, or with no count a seek (0 when it
// lands inside the file). A short read is an error to FreeType.
unsigned long ReadFontFile(FT_Stream stream, unsigned long offset, unsigned char* buffer,
                           unsigned long count) {
    if (count == 0) {
        return offset <= stream->size ? 0 : 1;
    }
    const int fd = static_cast<int>(stream->descriptor.value);
    unsigned long done = 0;
    while (done < count) {
        const ssize_t n =
            ::pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<unsigned long>(n);
    }
    return done;
}

} // namespace

// Every member is used with the FreeType mutex held.
struct Font::Face {
    kernel::UniqueFd file;
    FT_StreamRec stream{};
    FT_Face face = nullptr;
    int emPixels = 0;
    std::unordered_map<char32_t, Glyph> glyphs;

    Face() = default;
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;
    ~Face() {
        if (face) {
            FT_Done_Face(face);
        }
    }

    // A scalable face out of the file; false leaves nothing open but the file.
    bool Open(const std::string& path, int index) {
        file.Reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        struct stat st {};
        if (!Library() || !file.Valid() || ::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode) ||
            st.st_size <= 0) {
            return false;
        }
        stream.size = static_cast<unsigned long>(st.st_size);
        stream.descriptor.value = file.Get();
        stream.read = ReadFontFile;
        FT_Open_Args args{};
        args.flags = FT_OPEN_STREAM;
        args.stream = &stream;
        if (FT_Open_Face(Library(), &args, index, &face) != 0) {
            face = nullptr;
            return false;
        }
        if (!FT_IS_SCALABLE(face)) {
            FT_Done_Face(face);
            face = nullptr;
            return false;
        }
        return true;
    }
};

Font::Font(const LOGFONTA& log, std::string path, int index)
    : GdiObject(OBJ_FONT), log_(log), path_(std::move(path)), index_(index) {}

Font::~Font() {
    if (face_) {
        std::lock_guard lock(FreeTypeMutex());
        face_.reset();
    }
}

std::shared_ptr<Font> Font::Create(const LOGFONTA& log) {
    try {
        MatchedFile file;
        bool found = false;
        {
            std::lock_guard lock(FreeTypeMutex());
            found = MatchFont(log, file);
        }
        if (!found) {
            SetLastError(ERROR_NOT_FOUND);
            return nullptr;
        }
        return std::shared_ptr<Font>(new Font(log, std::move(file.path), file.index));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

bool Font::Open() {
    std::lock_guard lock(FreeTypeMutex());
    if (opened_) {
        return face_ != nullptr;
    }
    try {
        auto face = std::make_unique<Face>();
        if (!face->Open(path_, index_)) {
            opened_ = true;
            return false;
        }
        face_ = std::move(face);
        ComputeMetrics();
        opened_ = true;
        return true;
    } catch (const std::bad_alloc&) {
        face_.reset();
        return false;
    }
}

void Font::ComputeMetrics() {
    FT_Face face = face_->face;
    const double upem = face->units_per_EM ? face->units_per_EM : 2048;
    double ascent = face->ascender;
    double descent = -face->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascent = os2->usWinAscent;
            descent = os2->usWinDescent;
        }
    }
    int em = 12;
    if (log_.lfHeight < 0) {
        em = -log_.lfHeight;
    } else if (log_.lfHeight > 0) {
        em = std::max(1, Round(log_.lfHeight * upem / (ascent + descent)));
    }
    em = std::min(em, 2048);
    face_->emPixels = em;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em));

    TEXTMETRICA& tm = metrics_;
    tm.tmAscent = Round(ascent * em / upem);
    tm.tmDescent = Round(descent * em / upem);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max(0, static_cast<int>(tm.tmHeight) - em);
    tm.tmMaxCharWidth = Round(face->max_advance_width * em / upem);
    tm.tmWeight = log_.lfWeight ? log_.lfWeight : FW_NORMAL;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = '?';
    tm.tmBreakChar = ' ';
    tm.tmItalic = log_.lfItalic ? 1 : 0;
    tm.tmUnderlined = log_.lfUnderline ? 1 : 0;
    tm.tmStruckOut = log_.lfStrikeOut ? 1 : 0;
    tm.tmPitchAndFamily = 0x07 | FF_SWISS; // variable pitch, vector, TrueType
    tm.tmCharSet = ANSI_CHARSET;
    std::u32string letters;
    for (char32_t c = 'A'; c <= 'Z'; ++c) {
        letters += c;
    }
    for (char32_t c = 'a'; c <= 'z'; ++c) {
        letters += c;
    }
    tm.tmAveCharWidth = (TextWidthLocked(letters) / 26 + 1) / 2;
}

const Glyph& Font::GetGlyph(char32_t codePoint) {
    std::lock_guard lock(FreeTypeMutex());
    return GlyphLocked(codePoint);
}

const Glyph& Font::GlyphLocked(char32_t codePoint) {
    auto found = face_->glyphs.find(codePoint);
    if (found != face_->glyphs.end()) {
        return found->second;
    }
    Glyph glyph;
    FT_Face face = face_->face;
    if (FT_Load_Char(face, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) == 0) {
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            glyph.width = static_cast<int>(bitmap.width);
            glyph.rows = static_cast<int>(bitmap.rows);
            glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
            for (int y = 0; y < glyph.rows; ++y) {
                std::memcpy(&glyph.coverage[static_cast<std::size_t>(y) * glyph.width],
                            bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch,
                            static_cast<std::size_t>(glyph.width));
            }
        }
    }
    return face_->glyphs.emplace(codePoint, std::move(glyph)).first->second;
}

int Font::TextWidth(const std::u32string& text) {
    std::lock_guard lock(FreeTypeMutex());
    return TextWidthLocked(text);
}

int Font::TextWidthLocked(const std::u32string& text) {
    int width = 0;
    for (char32_t c : text) {
        width += GlyphLocked(c).advance;
    }
    return width;
}

namespace {

// Length of the UTF-8 sequence starting at p[0] (1-4) and its code point; 0 when invalid.
int DecodeSequence(const unsigned char* p, int available, char32_t& cp) {
    const unsigned char lead = p[0];
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    const int extra = lead >= 0xC2 && lead < 0xE0   ? 1
                      : lead >= 0xE0 && lead < 0xF0 ? 2
                      : lead >= 0xF0 && lead < 0xF5 ? 3
                                                    : 0;
    if (extra == 0 || extra >= available) {
        return 0;
    }
    cp = lead & (0x3Fu >> extra);
    for (int k = 1; k <= extra; ++k) {
        if ((p[k] & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (p[k] & 0x3Fu);
    }
    const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return extra + 1;
}

} // namespace

std::u32string DecodeText(const char* text, int length) {
    std::u32string out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    int i = 0;
    while (i < length) {
        char32_t cp = 0;
        const int used = DecodeSequence(p + i, length - i, cp);
        out += used ? cp : static_cast<char32_t>(p[i]);
        i += used ? used : 1;
    }
    return out;
}

} // namespace platform::gdi
