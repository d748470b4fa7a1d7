// The built-in layout lines of the skinned screens' buttons. The screens create their buttons
// from them; a placeholder picture draws the buttons where those will be.
#pragma once

#define SKIN_LINE_MAIN_OK "BUTTON_OK,187,231,30,17,OK,FALSE"
#define SKIN_LINE_MAIN_CANCEL "BUTTON_CANCEL,257,231,44,17,Cancel,FALSE"
#define SKIN_LINE_PROMPT_OK "BUTTON_OK,216,228,18,15,OK,FALSE"
#define SKIN_LINE_PROMPT_CANCEL "BUTTON_CANCEL,259,228,45,15,Cancel,FALSE"
#define SKIN_LINE_NOTICE_OK "BUTTON_OK,224,229,25,15,OK,FALSE"
