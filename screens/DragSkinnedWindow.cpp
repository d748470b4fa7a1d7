#include "screens/DragSkinnedWindow.h"

void DragSkinnedWindow(CWnd* pWnd, CPoint point) {
    pWnd->PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}
