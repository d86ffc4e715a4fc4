#pragma once

#include "engine/Controls.h"

#include <cstdint>

namespace mirvane {

// What the two text lines report to the window, in the order the line sees it. Setting a
// key code or character to 0 cancels the key for the line.
class TextLineEvents {
public:
    virtual ~TextLineEvents() = default;
    virtual void LineKeyDown(TextLine& line, std::int16_t& keyCode, std::int16_t shift) = 0;
    virtual void LineKeyPress(TextLine& line, std::int16_t& keyAscii) = 0;
    virtual void LineKeyUp(TextLine& line, std::int16_t keyCode, std::int16_t shift) = 0;
    virtual void LineMouseDown(TextLine& line, std::int16_t button, std::int16_t shift) = 0;
    // True when the move starts a drag, which then owns the pointer.
    virtual bool LineMouseMoveStartsDrag(TextLine& line, std::int16_t button, std::int16_t shift) = 0;
    // Any other move, once the line's selection has followed it.
    virtual void LineMouseMove(TextLine& line, std::int16_t button, std::int16_t shift) = 0;
    virtual void LineMouseUp(TextLine& line, std::int16_t button, std::int16_t shift) = 0;
    virtual void LineDoubleClick(TextLine& line) = 0;
    // The line starts a drag of its selected text by itself (automatic drag).
    virtual void LineStartsDrag(TextLine& line) = 0;
    virtual void LineGotFocus(TextLine& line) = 0;
    virtual void LineLostFocus(TextLine& line) = 0;
};

} // namespace mirvane
