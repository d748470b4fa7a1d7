// A region: a set of pixels kept as a y-x-banded list of rectangles.
//
// Invariant (every operation restores it before returning):
//  - every rectangle is non-empty (left < right, top < bottom);
//  - rectangles are sorted by top, then by left;
//  - rectangles with the same top form a band and all have the same bottom; bands do not
//    overlap vertically (a band's top is at or below the previous band's bottom);
//  - within a band rectangles neither overlap nor touch (right < next left);
//  - two bands that touch vertically (bottom == next top) never hold the same x spans:
//    such bands are coalesced into one;
//  - `bounds` is the union of all rectangles, or all zero for an empty region.
// This is the form a display server takes directly (YXBanded), and it makes two regions equal
// exactly when their rectangle lists are equal.
#pragma once

#include "GdiObject.h"
#include "platform/gdi32.h"

#include <vector>

namespace platform::gdi {

class Region : public GdiObject {
public:
    Region() : GdiObject(OBJ_REGION) {}

    // Replaces the contents with the union of `rects` (any order, overlaps and empties allowed).
    void SetRects(const std::vector<RECT>& rects);
    void SetBanded(std::vector<RECT> banded); // `banded` must already hold the invariant
    const std::vector<RECT>& Rects() const { return rects_; }
    const RECT& Bounds() const { return bounds_; }
    int Complexity() const; // NULLREGION, SIMPLEREGION or COMPLEXREGION
    bool Contains(int x, int y) const;
    void Offset(int dx, int dy);

private:
    std::vector<RECT> rects_;
    RECT bounds_{};
};

// Combines two banded lists with RGN_AND, RGN_OR, RGN_XOR or RGN_DIFF.
std::vector<RECT> CombineBanded(const std::vector<RECT>& a, const std::vector<RECT>& b, int mode);

} // namespace platform::gdi
