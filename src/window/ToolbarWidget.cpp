#include "ToolbarWidget.h"

#include "common/ErrorObject.h"

#include <QIcon>
#include <QPixmap>

namespace mirvane {

namespace {
// Pixel art stays sharp on a high-density screen when each pixel is doubled or tripled,
// where smooth scaling would blur it.
QIcon CrispIcon(const QString& path) {
    const QPixmap image(path);
    QIcon icon(image);
    for (int ratio : {2, 3}) {
        QPixmap scaled = image.scaled(image.size() * ratio, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        scaled.setDevicePixelRatio(ratio);
        icon.addPixmap(scaled);
    }
    return icon;
}
} // namespace

ToolbarWidget::ToolbarWidget(QWidget* parent)
    : QToolBar(parent), PlacedWidget<ToolbarControl>(*static_cast<QWidget*>(this)) {
    setObjectName(QStringLiteral("tbToolbar"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
    for (const ToolbarEntry& entry : kToolbarEntries) {
        if (entry.key.empty()) {
            addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(entry.key.data(), static_cast<qsizetype>(entry.key.size()));
        QAction* action = addAction(CrispIcon(QStringLiteral(":/icons/%1.xpm").arg(key)), key);
        action->setObjectName(key);
        action->setToolTip(
            QString::fromLatin1(entry.tooltip.data(), static_cast<qsizetype>(entry.tooltip.size())));
        action->setCheckable(entry.showsState);
        connect(action, &QAction::triggered, this, [this, key] { emit buttonClicked(key); });
        mButtons.insert(key, action);
    }
}

QAction* ToolbarWidget::ButtonAction(std::string_view key) const {
    QAction* action =
        mButtons.value(QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size())), nullptr);
    if (action == nullptr) {
        throw ErrorObject(35601, "mirvane", "Element not found");
    }
    return action;
}

int ToolbarWidget::ButtonValue(std::string_view key) const { return ButtonAction(key)->isChecked() ? 1 : 0; }

void ToolbarWidget::SetButtonValue(std::string_view key, int value) {
    ButtonAction(key)->setChecked(value != 0);
}

} // namespace mirvane
