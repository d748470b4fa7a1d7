// A font: a FreeType face chosen through fontconfig for a LOGFONTA, sized in pixels, with
// Windows-style metrics and a cache of anti-aliased glyphs.
//
// Metrics follow what Windows reports for TrueType faces: the em size in pixels is -lfHeight
// (character height) or lfHeight scaled by upem / (winAscent + winDescent) (cell height);
// tmAscent and tmDescent are the OS/2 winAscent and winDescent at that size, each rounded;
// tmHeight is their sum. tmAveCharWidth is the average width of "A".."Z" "a".."z", rounded as
// Windows rounds it for dialog base units. For "MS Sans Serif" at 8 pt and 96 dpi (lfHeight
// -11) DejaVu Sans gives tmHeight 10 + 3 = 13 and an average width of 6 or 7, close to the
// 13 and 6 dialogs are laid out for.
#pragma once

#include "GdiObject.h"
#include "platform/gdi32.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::gdi {

struct Glyph {
    int advance = 0; // pixels to the next pen position
    int left = 0;    // bitmap's left edge relative to the pen
    int top = 0;     // bitmap's top row above the baseline
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage; // width * rows, 0 = none, 255 = full
};

// The face file is chosen when the font is created; it is opened only when text is measured or
// drawn with the font, so fonts that never draw (every DC's default font, most of the time)
// cost no face. Faces read their file as FreeType asks for bytes instead of mapping it whole.
class Font : public GdiObject {
public:
    // nullptr with ERROR_NOT_FOUND (no face matches) or ERROR_NOT_ENOUGH_MEMORY.
    static std::shared_ptr<Font> Create(const LOGFONTA& log);
    ~Font() override;

    const LOGFONTA& Log() const { return log_; }
    // Opens the face and computes the metrics the first time; false, and for good, when the
    // face's file cannot be read as a scalable face. The members below need it to be true.
    bool Open();
    const TEXTMETRICA& Metrics() const { return metrics_; }
    const Glyph& GetGlyph(char32_t codePoint);
    int TextWidth(const std::u32string& text);

    struct Face;

private:
    Font(const LOGFONTA& log, std::string path, int index);
    void ComputeMetrics();
    const Glyph& GlyphLocked(char32_t codePoint);
    int TextWidthLocked(const std::u32string& text);

    LOGFONTA log_;
    std::string path_;
    int index_ = 0;
    bool opened_ = false;
    TEXTMETRICA metrics_{};
    std::unique_ptr<Face> face_;
};

// Text in the updater is UTF-8 (the ANSI code page on Linux); bytes that are not valid UTF-8
// stand for themselves, as Latin-1.
std::u32string DecodeText(const char* text, int length);

} // namespace platform::gdi
