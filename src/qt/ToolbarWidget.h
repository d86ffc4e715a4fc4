#pragma once

#include "QtControls.h"

#include "form/ToolbarTable.h"

#include <QHash>
#include <QSet>
#include <QToolBar>

#include <array>
#include <string_view>

namespace mirvane {

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
