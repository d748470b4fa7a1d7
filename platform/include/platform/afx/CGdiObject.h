// MFC's owner of one GDI handle: deleted with the object unless detached first.
//
// FromHandle hands out the object that owns a handle (attached anywhere on this thread), or
// else a temporary wrapper that never deletes the handle. Temporaries live until
// DeleteTempMap, which the framework's idle processing calls, as in MFC; a handle keeps the
// same temporary until then.
#pragma once

#include "platform/gdi32.h"

class CGdiObject {
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    // FALSE for a NULL handle, or when this object already holds one (attach to an empty
    // object; a second Attach would lose the first handle).
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    // Deletes the handle and empties the object; FALSE when it held none.
    BOOL DeleteObject();
    int GetObject(int nCount, LPVOID lpObject) const;

    static CGdiObject* FromHandle(HGDIOBJ hObject);
    static void DeleteTempMap();
};
