#pragma once

#include "QtControls.h"

#include <QHash>
#include <QSet>
#include <QToolBar>

#include <array>
#include <string_view>

namespace mirvane {

struct ToolbarEntry {
    std::string_view key; // empty for a separator
    std::string_view tooltip;
    bool showsState; // pressed or released, kept by the engine
};

inline constexpr std::array<ToolbarEntry, 18> kToolbarEntries{{
    {"Standard", "Standard Entry", true},
    {"Hover", "Hover Entry", true},
    {"HideMouse", "Hidden Mouse and Hover Entry", true},
    {"", "", false},
    {"ScrambleOnScreen", "Scramble JUST the on-screen keys", false},
    {"ScrambleAll", "Scramble the on-screen keys AND keyboard input", true},
    {"Dvorak", "Use Dvorak layout for on-screen keys AND keyboard", true},
    {"Unscramble", "Unscramble on-screen keys and keyboard input", false},
    {"", "", false},
    {"ToggleMask", "Show/hide the password masking", true},
    {"", "", false},
    {"Beep", "Beep on Hover Entry", true},
    {"KeepPassword", "Keep Password After Drag Drop", true},
    {"Obsfucate", "Hide password in amongst random characters", true},
    {"", "", false},
    {"KeepOnTop", "Keep On Top", true},
    {"", "", false},
    {"Clear", "Clear text/password", false},
}};

// tbToolbar: a toolbar placed in the client area, its buttons looked up by key.
class ToolbarWidget final : public QToolBar, public PlacedWidget<ToolbarControl> {
    Q_OBJECT
public:
    explicit ToolbarWidget(QWidget* parent);

    int ButtonValue(std::string_view key) const override;
    void SetButtonValue(std::string_view key, int value) override;
    void Refresh() override { update(); }

    QAction* ButtonAction(std::string_view key) const;

signals:
    void buttonClicked(const QString& key);

private:
    QHash<QString, QAction*> mButtons;
    QHash<QString, QIcon> mIcons;
    QHash<QString, QString> mTooltips;
    QSet<QString> mMarked; // value 2: pressed, but what it stands for is not happening
};

} // namespace mirvane
