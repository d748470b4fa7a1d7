#include "TextRenderer.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace platform::gdi;

namespace {

// Turns "&File" into "File" with F underlined; "&&" stands for one '&'.
TextLine ApplyPrefixes(const std::u32string& text, bool noPrefix) {
    TextLine line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool underline = false;
        if (!noPrefix && text[i] == U'&' && i + 1 < text.size()) {
            ++i;
            underline = text[i] != U'&';
        }
        line.text += text[i];
        line.underlined.push_back(underline);
    }
    return line;
}

TextLine Slice(const TextLine& line, std::size_t begin, std::size_t end) {
    TextLine out;
    out.text = line.text.substr(begin, end - begin);
    out.underlined.assign(line.underlined.begin() + static_cast<std::ptrdiff_t>(begin),
                          line.underlined.begin() + static_cast<std::ptrdiff_t>(end));
    return out;
}

std::vector<TextLine> SplitParagraphs(const TextLine& all, bool singleLine) {
    std::vector<TextLine> lines;
    TextLine current;
    for (std::size_t i = 0; i < all.text.size(); ++i) {
        const char32_t c = all.text[i];
        if (c == U'\r') {
            continue;
        }
        if (c == U'\n' && !singleLine) {
            lines.push_back(std::move(current));
            current = TextLine{};
            continue;
        }
        current.text += c == U'\n' ? U' ' : c;
        current.underlined.push_back(all.underlined[i]);
    }
    lines.push_back(std::move(current));
    return lines;
}

// Greedy breaks at spaces; a word wider than the rectangle stands on a line of its own.
void WrapParagraph(Font& font, const TextLine& paragraph, int maxWidth,
                   std::vector<TextLine>& out) {
    std::size_t start = 0;
    while (start < paragraph.text.size()) {
        std::size_t lastFit = std::u32string::npos;
        std::size_t pos = start;
        while (pos <= paragraph.text.size()) {
            const std::size_t space = paragraph.text.find(U' ', pos);
            const std::size_t end = space == std::u32string::npos ? paragraph.text.size() : space;
            if (lastFit != std::u32string::npos &&
                font.TextWidth(paragraph.text.substr(start, end - start)) > maxWidth) {
                break;
            }
            lastFit = end;
            if (end == paragraph.text.size()) {
                break;
            }
            pos = end + 1;
        }
        out.push_back(Slice(paragraph, start, lastFit));
        start = lastFit;
        while (start < paragraph.text.size() && paragraph.text[start] == U' ') {
            ++start;
        }
    }
    if (paragraph.text.empty()) {
        out.push_back(paragraph);
    }
}

std::vector<TextLine> LayOut(Font& font, const std::u32string& text, const RECT& rect,
                             UINT format) {
    const bool singleLine = (format & DT_SINGLELINE) != 0;
    auto paragraphs = SplitParagraphs(ApplyPrefixes(text, (format & DT_NOPREFIX) != 0), singleLine);
    if (singleLine || !(format & DT_WORDBREAK)) {
        return paragraphs;
    }
    std::vector<TextLine> lines;
    for (const TextLine& paragraph : paragraphs) {
        WrapParagraph(font, paragraph, rect.right - rect.left, lines);
    }
    return lines;
}

int LineX(const RECT& rect, int width, UINT format) {
    if (format & DT_CENTER) {
        return rect.left + (rect.right - rect.left - width) / 2;
    }
    if (format & DT_RIGHT) {
        return rect.right - width;
    }
    return rect.left;
}

int FirstLineY(const RECT& rect, int lineHeight, UINT format) {
    if (!(format & DT_SINGLELINE)) {
        return rect.top;
    }
    if (format & DT_VCENTER) {
        return rect.top + (rect.bottom - rect.top - lineHeight) / 2;
    }
    if (format & DT_BOTTOM) {
        return rect.bottom - lineHeight;
    }
    return rect.top;
}

int Draw(DeviceContext& dc, Font& font, const std::u32string& text, RECT& rect, UINT format) {
    const std::vector<TextLine> lines = LayOut(font, text, rect, format);
    const int lineHeight = font.Metrics().tmHeight;
    const int height = lineHeight * static_cast<int>(lines.size());
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& line : lines) {
            widest = std::max(widest, font.TextWidth(line.text));
        }
        rect.right = rect.left + widest;
        rect.bottom = rect.top + height;
        return height;
    }
    const int top = FirstLineY(rect, lineHeight, format);
    int y = top;
    for (const TextLine& line : lines) {
        const int x = LineX(rect, font.TextWidth(line.text), format);
        DrawTextLine(dc, font, x, y, line, (format & DT_NOCLIP) ? nullptr : &rect);
        y += lineHeight;
    }
    return (format & (DT_VCENTER | DT_BOTTOM)) && (format & DT_SINGLELINE) ? top - rect.top + height
                                                                           : height;
}

} // namespace

int WINAPI DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    auto dc = FindDC(hdc);
    if (!dc || !lprc || (!lpchText && cchText != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto font = dc->GetFont();
    if (!font || !font->Open()) {
        SetLastError(ERROR_NOT_FOUND);
        return 0;
    }
    const int length = cchText < 0 ? static_cast<int>(std::strlen(lpchText)) : cchText;
    return NoThrow<int>(
        0, [&] { return Draw(*dc, *font, DecodeText(lpchText, length), *lprc, format); });
}
