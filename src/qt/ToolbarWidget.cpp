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
        const QIcon icon = CrispIcon(QStringLiteral(":/icons/%1.xpm").arg(key));
        QAction* action = addAction(icon, key);
        action->setObjectName(key);
        const QString tooltip =
            QString::fromLatin1(entry.tooltip.data(), static_cast<qsizetype>(entry.tooltip.size()));
        action->setToolTip(tooltip);
        mIcons.insert(key, icon);
        mTooltips.insert(key, tooltip);
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

int ToolbarWidget::ButtonValue(std::string_view key) const {
    QAction* action = ButtonAction(key);
    return mMarked.contains(action->objectName()) ? 2 : action->isChecked() ? 1 : 0;
}

// A button that is on but whose measure cannot work now stays pressed, greyed, and says so.
void ToolbarWidget::SetButtonValue(std::string_view key, int value) {
    QAction* action = ButtonAction(key);
    const QString name = action->objectName();
    action->setChecked(value != 0);
    if ((value == 2) == mMarked.contains(name)) {
        return;
    }
    if (value == 2) {
        mMarked.insert(name);
        action->setIcon(QIcon(mIcons.value(name).pixmap(iconSize(), QIcon::Disabled)));
        action->setToolTip(
            QString::fromStdString(ToolbarTooltip(mTooltips.value(name).toStdString(), value)));
    } else {
        mMarked.remove(name);
        action->setIcon(mIcons.value(name));
        action->setToolTip(mTooltips.value(name));
    }
}

} // namespace mirvane
