#pragma once

namespace mirvane {

// The application's toolbar state: one stored flag. The window's own toolbar shows and
// hides through its menu item, not through this.
class Toolbar {
public:
    bool Visible() const { return mVisible; }
    void SetVisible(bool visible) { mVisible = visible; }

private:
    bool mVisible = false;
};

} // namespace mirvane
