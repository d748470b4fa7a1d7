#include "platform/afx/CGdiObject.h"

#include "GdiHandleMaps.h"
#include "platform/afx/CBitmap.h"

#include <new>

namespace platform::mfc {

HandleMap<CGdiObject>& GdiMap() {
    thread_local HandleMap<CGdiObject> map;
    return map;
}

// Temporaries only wrap handles; they must not delete them on the way out.
template <> void HandleMap<CGdiObject>::DeleteTemporaries() {
    for (auto& [handle, object] : temporary_) {
        object->m_hObject = nullptr;
    }
    temporary_.clear();
}

} // namespace platform::mfc

using platform::mfc::GdiMap;

CGdiObject::~CGdiObject() {
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (!hObject || m_hObject) {
        return FALSE;
    }
    try {
        GdiMap().SetPermanent(hObject, this);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    if (h) {
        GdiMap().RemovePermanent(h, this);
    }
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) {
        return FALSE;
    }
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const {
    return ::GetObjectA(m_hObject, nCount, lpObject);
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
    if (!hObject) {
        return nullptr;
    }
    auto& map = GdiMap();
    if (CGdiObject* object = map.FindPermanent(hObject)) {
        return object;
    }
    if (CGdiObject* object = map.FindTemporary(hObject)) {
        return object;
    }
    try {
        // A bitmap's wrapper is a CBitmap, so the CBitmap* that callers take it as is one.
        std::unique_ptr<CGdiObject> wrapper;
        if (GetObjectType(hObject) == OBJ_BITMAP) {
            wrapper = std::make_unique<CBitmap>();
        } else {
            wrapper = std::make_unique<CGdiObject>();
        }
        wrapper->m_hObject = hObject;
        return map.AddTemporary(hObject, std::move(wrapper));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void CGdiObject::DeleteTempMap() {
    GdiMap().DeleteTemporaries();
}
