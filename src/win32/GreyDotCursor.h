#pragma once

#include <windows.h>

namespace mirvane {

// ImageList1's image "a" as a cursor: 16 x 16, transparent but for one pixel of the key-face
// colour at column 7, row 8, which is also the hot spot. The caller destroys it.
HCURSOR CreateGreyDotCursor();

} // namespace mirvane
