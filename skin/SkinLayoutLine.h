// One skin layout line, "name,x,y,width,height,caption,flag", such as
// "BUTTON_OK,187,231,30,17,OK,FALSE": a button's name, rectangle, caption and latched flag.
#pragma once

#include "platform/afx/CString.h"
#include "platform/win32.h"

struct SkinLayoutLine {
    TCHAR szName[40];     // at most 39 bytes of text, cut at a whole character
    RECT rcBounds;        // left = x, top = y, right = x + width, bottom = y + height
    TCHAR szCaption[100]; // at most 99 bytes of text, cut at a whole character
    BOOL bPressed;        // "TRUE" occurs after the name
};

// Always returns 1; missing or malformed numbers read as 0.
int ParseSkinLayoutLine(CString strLine, SkinLayoutLine* pLine);

// The built-in layout lines of the skinned screens' buttons. The screens create their buttons
// from them; a placeholder picture draws the buttons where those will be.
#define SKIN_LINE_MAIN_OK "BUTTON_OK,187,231,30,17,OK,FALSE"
#define SKIN_LINE_MAIN_CANCEL "BUTTON_CANCEL,257,231,44,17,Cancel,FALSE"
#define SKIN_LINE_PROMPT_OK "BUTTON_OK,216,228,18,15,OK,FALSE"
#define SKIN_LINE_PROMPT_CANCEL "BUTTON_CANCEL,259,228,45,15,Cancel,FALSE"
#define SKIN_LINE_NOTICE_OK "BUTTON_OK,224,229,25,15,OK,FALSE"
