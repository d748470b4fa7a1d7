#include "Region.h"
#include "platform/internal/region.h"

#include <algorithm>
#include <cstring>

using namespace platform::gdi;

namespace {

HRGN AddRegion(std::shared_ptr<Region> region) {
    return static_cast<HRGN>(AddObject(std::move(region)));
}

RECT Normalized(int x1, int y1, int x2, int y2) {
    return RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// Only translations are supported; anything else would need rectangles to become polygons.
bool TranslationOf(const XFORM* lpx, int& dx, int& dy) {
    dx = dy = 0;
    if (!lpx) {
        return true;
    }
    if (lpx->eM11 != 1.0f || lpx->eM22 != 1.0f || lpx->eM12 != 0.0f || lpx->eM21 != 0.0f) {
        return false;
    }
    dx = static_cast<int>(lpx->eDx);
    dy = static_cast<int>(lpx->eDy);
    return true;
}

// The header must describe rectangles that lie inside the `size` bytes given.
bool ValidRegionData(const RGNDATA* data, DWORD size) {
    if (!data || size < sizeof(RGNDATAHEADER)) {
        return false;
    }
    const RGNDATAHEADER& h = data->rdh;
    if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES) {
        return false;
    }
    return static_cast<std::uint64_t>(h.nCount) * sizeof(RECT) <= size - sizeof(RGNDATAHEADER);
}

} // namespace

namespace platform::gdi {

bool GetRegionRects(HRGN hrgn, std::vector<RECT>& rects) {
    auto region = Find<Region>(hrgn);
    if (!region) {
        return false;
    }
    return NoThrow<bool>(false, [&] {
        rects = region->Rects();
        return true;
    });
}

} // namespace platform::gdi

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
    return NoThrow<HRGN>(nullptr, [&] {
        auto region = std::make_shared<Region>();
        region->SetRects({Normalized(x1, y1, x2, y2)});
        return AddRegion(std::move(region));
    });
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect) {
    if (!lprect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN WINAPI ExtCreateRegion(const XFORM* lpx, DWORD nCount, const RGNDATA* lpData) {
    int dx = 0, dy = 0;
    if (!ValidRegionData(lpData, nCount) || !TranslationOf(lpx, dx, dy)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return NoThrow<HRGN>(nullptr, [&] {
        std::vector<RECT> rects(lpData->rdh.nCount);
        if (!rects.empty()) {
            std::memcpy(rects.data(), lpData->Buffer, rects.size() * sizeof(RECT));
        }
        auto region = std::make_shared<Region>();
        region->SetRects(rects);
        region->Offset(dx, dy);
        return AddRegion(std::move(region));
    });
}

int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
    auto dst = Find<Region>(hrgnDst);
    auto a = Find<Region>(hrgnSrc1);
    if (!dst || !a || iMode < RGN_AND || iMode > RGN_COPY) {
        return ERROR;
    }
    if (iMode == RGN_COPY) {
        return NoThrow<int>(ERROR, [&] {
            dst->SetBanded(a->Rects());
            return dst->Complexity();
        });
    }
    auto b = Find<Region>(hrgnSrc2);
    if (!b) {
        return ERROR;
    }
    return NoThrow<int>(ERROR, [&] {
        dst->SetBanded(CombineBanded(a->Rects(), b->Rects(), iMode));
        return dst->Complexity();
    });
}

BOOL WINAPI PtInRegion(HRGN hrgn, int x, int y) {
    auto region = Find<Region>(hrgn);
    return region && region->Contains(x, y) ? TRUE : FALSE;
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
    auto region = Find<Region>(hrgn);
    if (!region || !lprc) {
        return ERROR;
    }
    *lprc = region->Bounds();
    return region->Complexity();
}

int WINAPI OffsetRgn(HRGN hrgn, int x, int y) {
    auto region = Find<Region>(hrgn);
    if (!region) {
        return ERROR;
    }
    region->Offset(x, y);
    return region->Complexity();
}

DWORD WINAPI GetRegionData(HRGN hrgn, DWORD nCount, LPRGNDATA lpRgnData) {
    auto region = Find<Region>(hrgn);
    if (!region) {
        return 0;
    }
    const std::vector<RECT>& rects = region->Rects();
    const DWORD needed = static_cast<DWORD>(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    if (!lpRgnData) {
        return needed;
    }
    if (nCount < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    lpRgnData->rdh.dwSize = sizeof(RGNDATAHEADER);
    lpRgnData->rdh.iType = RDH_RECTANGLES;
    lpRgnData->rdh.nCount = static_cast<DWORD>(rects.size());
    lpRgnData->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    lpRgnData->rdh.rcBound = region->Bounds();
    if (!rects.empty()) {
        std::memcpy(lpRgnData->Buffer, rects.data(), rects.size() * sizeof(RECT));
    }
    return nCount;
}

BOOL WINAPI EqualRgn(HRGN hrgn1, HRGN hrgn2) {
    auto a = Find<Region>(hrgn1);
    auto b = Find<Region>(hrgn2);
    if (!a || !b) {
        return ERROR;
    }
    const auto& ra = a->Rects();
    const auto& rb = b->Rects();
    return ra.size() == rb.size() &&
           std::memcmp(ra.data(), rb.data(), ra.size() * sizeof(RECT)) == 0;
}
