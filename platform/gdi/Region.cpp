#include "Region.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace platform::gdi {

namespace {

constexpr LONG kLowest = std::numeric_limits<LONG>::min();
constexpr LONG kHighest = std::numeric_limits<LONG>::max();

struct Span {
    LONG left;
    LONG right;
    bool operator==(const Span&) const = default;
};

struct Band {
    LONG top;
    LONG bottom;
    std::vector<Span> spans;
};

// Walks a banded list band by band.
class BandCursor {
public:
    explicit BandCursor(const std::vector<RECT>& rects) : rects_(rects) {}
    bool Done() const { return index_ >= rects_.size(); }
    LONG Top() const { return rects_[index_].top; }
    LONG Bottom() const { return rects_[index_].bottom; }
    // Spans of the current band.
    void Spans(std::vector<Span>& out) const {
        out.clear();
        for (std::size_t i = index_; i < rects_.size() && rects_[i].top == Top(); ++i) {
            out.push_back(Span{rects_[i].left, rects_[i].right});
        }
    }
    void Next() {
        const LONG top = Top();
        while (index_ < rects_.size() && rects_[index_].top == top) {
            ++index_;
        }
    }

private:
    const std::vector<RECT>& rects_;
    std::size_t index_ = 0;
};

bool Keep(bool inA, bool inB, int mode) {
    switch (mode) {
    case RGN_AND:
        return inA && inB;
    case RGN_OR:
        return inA || inB;
    case RGN_XOR:
        return inA != inB;
    default:
        return inA && !inB;
    }
}

// Combines two sorted, disjoint span lists by sweeping their edges.
void CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, int mode,
                  std::vector<Span>& out) {
    out.clear();
    std::size_t ia = 0, ib = 0;
    LONG x = kLowest;
    bool open = false;
    LONG openedAt = 0;
    while (true) {
        LONG next = kHighest;
        if (ia < a.size()) {
            next = std::min(next, x < a[ia].left ? a[ia].left : a[ia].right);
        }
        if (ib < b.size()) {
            next = std::min(next, x < b[ib].left ? b[ib].left : b[ib].right);
        }
        if (next == kHighest) {
            break;
        }
        x = next;
        if (ia < a.size() && a[ia].right == x) {
            ++ia;
        }
        if (ib < b.size() && b[ib].right == x) {
            ++ib;
        }
        const bool inA = ia < a.size() && a[ia].left <= x;
        const bool inB = ib < b.size() && b[ib].left <= x;
        const bool keep = Keep(inA, inB, mode);
        if (keep && !open) {
            openedAt = x;
            open = true;
        } else if (!keep && open) {
            out.push_back(Span{openedAt, x});
            open = false;
        }
    }
}

void AppendBand(std::vector<RECT>& out, LONG top, LONG bottom, const std::vector<Span>& spans,
                std::size_t& lastBandStart) {
    if (spans.empty() || top >= bottom) {
        return;
    }
    // Coalesce with the band above when it touches and holds the same spans.
    const std::size_t lastCount = out.size() - lastBandStart;
    if (!out.empty() && out.back().bottom == top && lastCount == spans.size()) {
        bool same = true;
        for (std::size_t i = 0; i < spans.size() && same; ++i) {
            same = out[lastBandStart + i].left == spans[i].left &&
                   out[lastBandStart + i].right == spans[i].right;
        }
        if (same) {
            for (std::size_t i = lastBandStart; i < out.size(); ++i) {
                out[i].bottom = bottom;
            }
            return;
        }
    }
    lastBandStart = out.size();
    for (const Span& s : spans) {
        out.push_back(RECT{s.left, top, s.right, bottom});
    }
}

// Coordinates are kept within +-2^27, as Windows keeps them, so that offsets cannot overflow
// and the sweeps' sentinels stay out of reach.
constexpr LONG kCoordinateLimit = 1 << 27;

LONG Clamp(std::int64_t v) {
    return static_cast<LONG>(std::clamp<std::int64_t>(v, -kCoordinateLimit, kCoordinateLimit));
}

RECT Clamped(const RECT& r) {
    return RECT{Clamp(r.left), Clamp(r.top), Clamp(r.right), Clamp(r.bottom)};
}

// Sorts spans and merges those that overlap or touch.
void NormalizeSpans(std::vector<Span>& spans) {
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.left < b.left; });
    std::size_t out = 0;
    for (const Span& s : spans) {
        if (out > 0 && s.left <= spans[out - 1].right) {
            spans[out - 1].right = std::max(spans[out - 1].right, s.right);
        } else {
            spans[out++] = s;
        }
    }
    spans.resize(out);
}

// Index of the first rectangle of the last band.
std::size_t BandStart(const std::vector<RECT>& rects) {
    std::size_t i = rects.size();
    while (i > 0 && rects[i - 1].top == rects.back().top) {
        --i;
    }
    return i;
}

RECT BoundsOf(const std::vector<RECT>& rects) {
    if (rects.empty()) {
        return RECT{0, 0, 0, 0};
    }
    RECT b = rects.front();
    for (const RECT& r : rects) {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

} // namespace

std::vector<RECT> CombineBanded(const std::vector<RECT>& a, const std::vector<RECT>& b, int mode) {
    std::vector<RECT> out;
    std::size_t lastBandStart = 0;
    BandCursor ca(a), cb(b);
    std::vector<Span> spansA, spansB, combined;
    const std::vector<Span> none;
    LONG y = kLowest;
    while (!ca.Done() || !cb.Done()) {
        // Skip bands that end at or above y.
        while (!ca.Done() && ca.Bottom() <= y) {
            ca.Next();
        }
        while (!cb.Done() && cb.Bottom() <= y) {
            cb.Next();
        }
        if (ca.Done() && cb.Done()) {
            break;
        }
        LONG top = kHighest;
        if (!ca.Done()) {
            top = std::min(top, std::max(y, ca.Top()));
        }
        if (!cb.Done()) {
            top = std::min(top, std::max(y, cb.Top()));
        }
        const bool inA = !ca.Done() && ca.Top() <= top;
        const bool inB = !cb.Done() && cb.Top() <= top;
        LONG bottom = kHighest;
        bottom = std::min(bottom, inA ? ca.Bottom() : (!ca.Done() ? ca.Top() : kHighest));
        bottom = std::min(bottom, inB ? cb.Bottom() : (!cb.Done() ? cb.Top() : kHighest));
        if (inA) {
            ca.Spans(spansA);
        }
        if (inB) {
            cb.Spans(spansB);
        }
        CombineSpans(inA ? spansA : none, inB ? spansB : none, mode, combined);
        AppendBand(out, top, bottom, combined, lastBandStart);
        y = bottom;
    }
    return out;
}

void Region::SetRects(const std::vector<RECT>& rects) {
    // Runs of rectangles sharing top and bottom become one band; a band below everything so
    // far is appended (the common case: one-pixel rows, top to bottom), any other is merged.
    std::vector<RECT> result;
    std::size_t lastBandStart = 0;
    std::vector<Span> row;
    LONG top = 0, bottom = 0;
    auto flush = [&] {
        if (row.empty()) {
            return;
        }
        NormalizeSpans(row);
        if (result.empty() || top >= result.back().bottom) {
            AppendBand(result, top, bottom, row, lastBandStart);
        } else {
            std::vector<RECT> band;
            std::size_t unused = 0;
            AppendBand(band, top, bottom, row, unused);
            result = CombineBanded(result, band, RGN_OR);
            lastBandStart = BandStart(result);
        }
        row.clear();
    };
    for (RECT r : rects) {
        r = Clamped(r);
        if (r.left >= r.right || r.top >= r.bottom) {
            continue;
        }
        if (!row.empty() && (r.top != top || r.bottom != bottom)) {
            flush();
        }
        top = r.top;
        bottom = r.bottom;
        row.push_back(Span{r.left, r.right});
    }
    flush();
    SetBanded(std::move(result));
}

void Region::SetBanded(std::vector<RECT> banded) {
    rects_ = std::move(banded);
    bounds_ = BoundsOf(rects_);
}

int Region::Complexity() const {
    return rects_.empty() ? NULLREGION : rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::Contains(int x, int y) const {
    if (x < bounds_.left || x >= bounds_.right || y < bounds_.top || y >= bounds_.bottom) {
        return false;
    }
    auto it = std::lower_bound(rects_.begin(), rects_.end(), y,
                               [](const RECT& r, int value) { return r.bottom <= value; });
    for (; it != rects_.end() && it->top <= y; ++it) {
        if (x >= it->left && x < it->right && y < it->bottom) {
            return true;
        }
    }
    return false;
}

void Region::Offset(int dx, int dy) {
    // Clamping can squash rectangles at the limit, so the list is rebuilt rather than shifted.
    std::vector<RECT> moved;
    moved.reserve(rects_.size());
    for (const RECT& r : rects_) {
        moved.push_back(RECT{Clamp(std::int64_t{r.left} + dx), Clamp(std::int64_t{r.top} + dy),
                             Clamp(std::int64_t{r.right} + dx),
                             Clamp(std::int64_t{r.bottom} + dy)});
    }
    SetRects(moved);
}

} // namespace platform::gdi
