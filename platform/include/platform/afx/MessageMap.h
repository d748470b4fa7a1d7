// Static message maps. Each class that handles messages declares a table with
// DECLARE_MESSAGE_MAP and fills it between BEGIN_MESSAGE_MAP(theClass, baseClass) and
// END_MESSAGE_MAP(). A window's messages are looked up in its own class's table first, entry
// by entry in the order written, then in its base class's table and so on up to CCmdTarget;
// the first matching entry handles the message, and a message no table names goes to the
// window's default processing. WM_COMMAND is the exception: it goes to OnCommand, which
// looks the command id up in the ON_COMMAND entries the same way (OnCmdMsg).
//
// Every entry names its handler through a pointer to member of the exact MFC signature, so
// a handler with the wrong signature does not compile; the entry stores a small function
// that unpacks wParam and lParam the way MFC does and calls it.
#pragma once

#include "platform/user32.h"

class CCmdTarget;

#define afx_msg
#define CN_COMMAND 0

using AFX_PMSG_DISPATCH = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // 0 ends the table
    UINT nCode;    // command notification code, for WM_COMMAND entries
    UINT nID;      // first command id, for WM_COMMAND entries
    UINT nLastID;  // last command id
    AFX_PMSG_DISPATCH pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;                                              \
                                                                                                   \
protected:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, 0, nullptr }                                                                        \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &entries[0]};          \
    return &messageMap;                                                                            \
    }

// The unpacking functions behind the entries (defined in CWnd.h, which knows CWnd and CDC).
namespace afx {

template <typename> struct MemberTraits;
template <typename C, typename R, typename... A> struct MemberTraits<R (C::*)(A...)> {
    using Class = C;
};
template <auto F> using ClassOf = typename MemberTraits<decltype(F)>::Class;
template <auto F> ClassOf<F>* Target(CCmdTarget* target) {
    return static_cast<ClassOf<F>*>(target);
}

template <auto F> LRESULT VoidVoid(CCmdTarget* t, WPARAM, LPARAM) {
    (Target<F>(t)->*F)();
    return 0;
}
template <auto F> LRESULT IntCreate(CCmdTarget* t, WPARAM, LPARAM l) {
    return (Target<F>(t)->*F)(reinterpret_cast<LPCREATESTRUCT>(l));
}
template <auto F> LRESULT SysCommand(CCmdTarget* t, WPARAM w, LPARAM l) {
    (Target<F>(t)->*F)(static_cast<UINT>(w), l);
    return 0;
}
template <auto F> LRESULT QueryDragIcon(CCmdTarget* t, WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>((Target<F>(t)->*F)());
}
template <auto F> LRESULT Mouse(CCmdTarget* t, WPARAM w, LPARAM l);
template <auto F> LRESULT WndFromWParam(CCmdTarget* t, WPARAM w, LPARAM l);
template <auto F> LRESULT WndFromLParam(CCmdTarget* t, WPARAM w, LPARAM l);
template <auto F> LRESULT EraseBkgnd(CCmdTarget* t, WPARAM w, LPARAM l);
template <auto F> LRESULT DrawItem(CCmdTarget* t, WPARAM w, LPARAM l) {
    (Target<F>(t)->*F)(static_cast<int>(w), reinterpret_cast<LPDRAWITEMSTRUCT>(l));
    return 0;
}
template <auto F> LRESULT Timer(CCmdTarget* t, WPARAM w, LPARAM) {
    (Target<F>(t)->*F)(static_cast<UINT_PTR>(w));
    return 0;
}
template <auto F> LRESULT Message(CCmdTarget* t, WPARAM w, LPARAM l) {
    return (Target<F>(t)->*F)(w, l);
}

} // namespace afx

class CWnd;
class CDC;
class CPoint;

// `thunk` names a template and `type` is a type: neither can be parenthesized.
// NOLINTNEXTLINE(bugprone-macro-parentheses)
#define AFX_ENTRY(msg, thunk, type, fn) {msg, 0, 0, 0, &afx::thunk<static_cast<type>(&fn)>},

#define ON_WM_CREATE()                                                                             \
    AFX_ENTRY(WM_CREATE, IntCreate, int (ThisClass::*)(LPCREATESTRUCT), ThisClass::OnCreate)
#define ON_WM_DESTROY() AFX_ENTRY(WM_DESTROY, VoidVoid, void (ThisClass::*)(), ThisClass::OnDestroy)
#define ON_WM_NCDESTROY()                                                                          \
    AFX_ENTRY(WM_NCDESTROY, VoidVoid, void (ThisClass::*)(), ThisClass::OnNcDestroy)
#define ON_WM_PAINT() AFX_ENTRY(WM_PAINT, VoidVoid, void (ThisClass::*)(), ThisClass::OnPaint)
#define ON_WM_CLOSE() AFX_ENTRY(WM_CLOSE, VoidVoid, void (ThisClass::*)(), ThisClass::OnClose)
#define ON_WM_SYSCOMMAND()                                                                         \
    AFX_ENTRY(WM_SYSCOMMAND, SysCommand, void (ThisClass::*)(UINT, LPARAM), ThisClass::OnSysCommand)
#define ON_WM_QUERYDRAGICON()                                                                      \
    AFX_ENTRY(WM_QUERYDRAGICON, QueryDragIcon, HCURSOR (ThisClass::*)(), ThisClass::OnQueryDragIcon)
#define ON_WM_LBUTTONDOWN()                                                                        \
    AFX_ENTRY(WM_LBUTTONDOWN, Mouse, void (ThisClass::*)(UINT, CPoint), ThisClass::OnLButtonDown)
#define ON_WM_LBUTTONUP()                                                                          \
    AFX_ENTRY(WM_LBUTTONUP, Mouse, void (ThisClass::*)(UINT, CPoint), ThisClass::OnLButtonUp)
#define ON_WM_MOUSEMOVE()                                                                          \
    AFX_ENTRY(WM_MOUSEMOVE, Mouse, void (ThisClass::*)(UINT, CPoint), ThisClass::OnMouseMove)
#define ON_WM_KILLFOCUS()                                                                          \
    AFX_ENTRY(WM_KILLFOCUS, WndFromWParam, void (ThisClass::*)(CWnd*), ThisClass::OnKillFocus)
#define ON_WM_SETFOCUS()                                                                           \
    AFX_ENTRY(WM_SETFOCUS, WndFromWParam, void (ThisClass::*)(CWnd*), ThisClass::OnSetFocus)
#define ON_WM_CAPTURECHANGED()                                                                     \
    AFX_ENTRY(WM_CAPTURECHANGED, WndFromLParam, void (ThisClass::*)(CWnd*),                        \
              ThisClass::OnCaptureChanged)
#define ON_WM_ERASEBKGND()                                                                         \
    AFX_ENTRY(WM_ERASEBKGND, EraseBkgnd, BOOL (ThisClass::*)(CDC*), ThisClass::OnEraseBkgnd)
#define ON_WM_DRAWITEM()                                                                           \
    AFX_ENTRY(WM_DRAWITEM, DrawItem, void (ThisClass::*)(int, LPDRAWITEMSTRUCT),                   \
              ThisClass::OnDrawItem)
#define ON_WM_TIMER() AFX_ENTRY(WM_TIMER, Timer, void (ThisClass::*)(UINT_PTR), ThisClass::OnTimer)
// These two take the handler's bare name, as MFC code writes it: ON_MESSAGE(WM_X, OnX).
#define ON_MESSAGE(message, memberFxn)                                                             \
    AFX_ENTRY(message, Message, LRESULT (ThisClass::*)(WPARAM, LPARAM), ThisClass::memberFxn)
#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id),                         \
     &afx::VoidVoid<static_cast<void (ThisClass::*)()>(&ThisClass::memberFxn)>},
