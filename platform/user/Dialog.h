// Dialog boxes: the per-dialog state of the dialog manager and the internal entry points
// that take a template with its size, so a corrupt template is refused, never overrun.
#pragma once

#include "Window.h"
#include "platform/user32.h"

namespace platform::user {

struct DialogInfo : WindowExtra {
    DLGPROC proc = nullptr;
    HFONT font = nullptr;
    bool ownsFont = false;
    int baseX = 8; // dialog base units: four dialog units across, eight down
    int baseY = 16;
    WORD defId = 0;
    HWND focus = nullptr; // the control to focus when the dialog becomes active
    bool ended = false;
    INT_PTR result = 0;
    bool ownerDisabled = false; // the dialog box disabled its owner and must enable it
    ~DialogInfo() override;
};

DialogInfo* DialogInfoOf(HWND hwnd);
// How far a template given only by its address may be read: to the end of the resource
// that holds it, or a fixed limit for memory the platform did not hand out.
std::size_t UnsizedTemplateBytes(const void* data);
HWND CreateDialogFromTemplate(HINSTANCE instance, const void* data, std::size_t size, HWND owner,
                              DLGPROC proc, LPARAM param);
INT_PTR DialogBoxFromTemplate(HINSTANCE instance, const void* data, std::size_t size, HWND owner,
                              DLGPROC proc, LPARAM param);
// Runs a dialog box's modal loop until EndDialog or a quit message (posted again).
INT_PTR RunDialogLoop(HWND hwnd);
// The first visible, enabled WS_TABSTOP control of the dialog.
HWND FirstTabStop(HWND dialog);

} // namespace platform::user
