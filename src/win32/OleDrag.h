#pragma once

#include "common/SecretText.h"
#include "form/DropGate.h"
#include "form/KeyboardForm.h"

namespace mirvane {

// Drags the text with the left button until it is released or Escape is pressed. Only the
// window it is dropped on may read it, once, while the drop is being made: a target that
// keeps the data object to read later gets nothing.
DropEffect RunOleDrag(SecretText text, DropGate& gate);

} // namespace mirvane
