#include "TextPainter.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <vector>

namespace gen_skin {

namespace {

std::string FindFontFile(const char* pattern) {
    FcPattern* p = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!p) {
        return {};
    }
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, p, &result);
    FcPatternDestroy(p);
    std::string file;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<const char*>(path);
    }
    if (match) {
        FcPatternDestroy(match);
    }
    return file;
}

// UTF-8 to code points; the artwork's texts are plain, so invalid bytes just pass through.
std::vector<char32_t> CodePoints(const std::string& text) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t cp = extra ? (c & (0x3F >> extra)) : c;
        for (int k = 1; k <= extra && i + k < text.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        out.push_back(cp);
        i += 1 + extra;
    }
    return out;
}

} // namespace

struct TextPainter::Faces {
    FT_Library library = nullptr;
    FT_Face regular = nullptr;
    FT_Face bold = nullptr;

    ~Faces() {
        if (regular) {
            FT_Done_Face(regular);
        }
        if (bold) {
            FT_Done_Face(bold);
        }
        if (library) {
            FT_Done_FreeType(library);
        }
    }
    FT_Face Get(Weight w) const { return w == Weight::Bold ? bold : regular; }
};

TextPainter::TextPainter() : faces_(std::make_unique<Faces>()) {
    if (FT_Init_FreeType(&faces_->library) != 0) {
        return;
    }
    const std::string regular = FindFontFile("DejaVu Sans:style=Book");
    const std::string bold = FindFontFile("DejaVu Sans:style=Bold");
    if (regular.empty() ||
        FT_New_Face(faces_->library, regular.c_str(), 0, &faces_->regular) != 0) {
        faces_->regular = nullptr;
    }
    if (bold.empty() || FT_New_Face(faces_->library, bold.c_str(), 0, &faces_->bold) != 0) {
        faces_->bold = nullptr;
    }
}

// Fontconfig keeps its configuration until told to let go; the tool is done with it here.
TextPainter::~TextPainter() {
    faces_.reset();
    FcFini();
}

bool TextPainter::Ready() const {
    return faces_->regular && faces_->bold;
}

int TextPainter::Width(const std::string& text, int pixelSize, Weight weight) {
    FT_Face face = faces_->Get(weight);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    long width = 0;
    for (char32_t cp : CodePoints(text)) {
        if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT) == 0) {
            width += face->glyph->advance.x;
        }
    }
    return static_cast<int>((width + 32) >> 6);
}

void TextPainter::Draw(Canvas& canvas, const std::string& text, int x, int baseline, int pixelSize,
                       Weight weight, Color color) {
    FT_Face face = faces_->Get(weight);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    long pen = static_cast<long>(x) << 6;
    for (char32_t cp : CodePoints(text)) {
        if (FT_Load_Char(face, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) {
            continue;
        }
        const FT_GlyphSlot g = face->glyph;
        const int left = static_cast<int>((pen + 32) >> 6) + g->bitmap_left;
        const int top = baseline - g->bitmap_top;
        for (unsigned row = 0; row < g->bitmap.rows; ++row) {
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                const unsigned char a = g->bitmap.buffer[row * g->bitmap.pitch + col];
                canvas.Blend(left + static_cast<int>(col), top + static_cast<int>(row), color,
                             static_cast<float>(a) / 255.0f);
            }
        }
        pen += g->advance.x;
    }
}

void TextPainter::DrawCentered(Canvas& canvas, const std::string& text, int centerX, int baseline,
                               int pixelSize, Weight weight, Color color) {
    Draw(canvas, text, centerX - Width(text, pixelSize, weight) / 2, baseline, pixelSize, weight,
         color);
}

int TextPainter::DrawWrapped(Canvas& canvas, const std::string& text, int x, int baseline,
                             int maxWidth, int lineHeight, int pixelSize, Weight weight,
                             Color color) {
    std::string line;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t space = text.find(' ', pos);
        if (space == std::string::npos) {
            space = text.size();
        }
        const std::string word = text.substr(pos, space - pos);
        const std::string candidate =
            line.empty() ? word : std::string(line).append(" ").append(word);
        if (!line.empty() && Width(candidate, pixelSize, weight) > maxWidth) {
            Draw(canvas, line, x, baseline, pixelSize, weight, color);
            baseline += lineHeight;
            line = word;
        } else {
            line = candidate;
        }
        pos = space + 1;
    }
    if (!line.empty()) {
        Draw(canvas, line, x, baseline, pixelSize, weight, color);
        baseline += lineHeight;
    }
    return baseline;
}

} // namespace gen_skin
