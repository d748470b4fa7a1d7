// Anti-aliased text through FreeType, with faces found by fontconfig.
#pragma once

#include "Canvas.h"

#include <memory>
#include <string>

namespace gen_skin {

enum class Weight { Regular, Bold };

class TextPainter {
public:
    TextPainter();
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    bool Ready() const;
    int Width(const std::string& text, int pixelSize, Weight weight);
    // Draws with the baseline at y; x is the left edge.
    void Draw(Canvas& canvas, const std::string& text, int x, int baseline, int pixelSize,
              Weight weight, Color color);
    void DrawCentered(Canvas& canvas, const std::string& text, int centerX, int baseline,
                      int pixelSize, Weight weight, Color color);
    // Breaks at spaces to fit maxWidth; returns the baseline after the last line.
    int DrawWrapped(Canvas& canvas, const std::string& text, int x, int baseline, int maxWidth,
                    int lineHeight, int pixelSize, Weight weight, Color color);

private:
    struct Faces;
    std::unique_ptr<Faces> faces_;
};

} // namespace gen_skin
