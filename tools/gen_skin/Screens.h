// The skin's screens: what each picture shows.
#pragma once

#include "Canvas.h"
#include "TextPainter.h"
#include "WindowShape.h"

#include <string>
#include <vector>

namespace gen_skin {

enum class ButtonState { Normal, Hover, Pressed };
enum class ButtonStyle { Primary, Secondary };

struct Button {
    Rect rect; // client coordinates, from the screen's layout line
    std::string caption;
    ButtonStyle style;
};

enum class Emblem { None, Warning, Success, Failure, Info };

struct Screen {
    std::string heading;
    std::vector<std::string> paragraphs;
    Emblem emblem = Emblem::None;
    bool progressSlot = false;
    std::vector<Button> buttons;
};

Screen MainScreen();
Screen DowngradePrompt();
Screen SuccessNotice();
Screen FailureNotice();
Screen UpToDateNotice();

// Every rectangle a screen needs inside the outline (buttons, and the progress bar).
std::vector<Rect> RequiredRects(const Screen& screen);

// The whole-window picture of the screen with every button in the given state.
Canvas PaintScreen(const Screen& screen, ButtonState state, TextPainter& text);

} // namespace gen_skin
