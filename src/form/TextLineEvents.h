#pragma once

#include "engine/Controls.h"

#include <cstdint>

namespace mirvane {

// Where the pointer is over a line, in the line's own pixels.
struct LinePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// What the two text lines report to the window, in the order the line sees it. Setting a
// key code or character to 0 cancels the key for the line.
class TextLineEvents {
public:
    virtual ~TextLineEvents() = default;
    // True when the line may then carry the key out itself. `otherModifier`: a modifier the
    // Shift argument has no bit for (Meta, the Windows key) is held.
    virtual bool LineKeyDown(TextLine& line, std::int16_t& keyCode, std::int16_t shift,
                             bool otherModifier) = 0;
    virtual void LineKeyPress(TextLine& line, std::int16_t& keyAscii) = 0;
    virtual void LineKeyUp(TextLine& line, std::int16_t keyCode, std::int16_t shift) = 0;
    virtual void LineMouseDown(TextLine& line, std::int16_t button, std::int16_t shift) = 0;
    // True when the move starts a drag, which then owns the pointer.
    virtual bool LineMouseMoveStartsDrag(TextLine& line, std::int16_t button, std::int16_t shift) = 0;
    // Any other move, once the line's selection has followed it.
    virtual void LineMouseMove(TextLine& line, std::int16_t button, std::int16_t shift) = 0;
    virtual void LineMouseUp(TextLine& line, std::int16_t button, std::int16_t shift) = 0;
    virtual void LineDoubleClick(TextLine& line) = 0;
    // The plain line's drag of its selection. A press at character `at`: true when it armed
    // the drag, and the line must leave its selection as it is.
    virtual bool PlainLinePressArmsDrag(TextLine& line, std::int16_t button, std::int32_t at,
                                        LinePoint point) = 0;
    // A move: true when the drag is armed and the line must not act on it. One far enough
    // from the press starts the drag, which returns once it is over.
    virtual bool PlainLineMoveTaken(TextLine& line, std::int16_t buttons, LinePoint point,
                                    std::int32_t dragDistance) = 0;
    // A release: true when the drag was armed and never started; the caret is then at `at`.
    virtual bool PlainLineReleaseTaken(TextLine& line, std::int32_t at) = 0;
    // The line's own menu copies or cuts.
    virtual void LineCopy(TextLine& line, bool cut) = 0;
    virtual void LineGotFocus(TextLine& line) = 0;
    virtual void LineLostFocus(TextLine& line) = 0;
};

} // namespace mirvane
