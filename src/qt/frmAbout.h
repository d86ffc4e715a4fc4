#pragma once

#include "engine/Keyboard.h"
#include "platform/WindowStacking.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace mirvane {

// The about window: the program's name, version and what it is for.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    frmAbout(Keyboard& keyboard, WindowStacking& stacking, QWidget* owner);

    // Creates one, shows it modally over its owner and discards it when it closes.
    static void ShowModal(Keyboard& keyboard, WindowStacking& stacking, QWidget* owner);

    static QString VersionLine();
    static QString Description();

    QLabel* VersionLabel() const { return lblVersion; }
    QPlainTextEdit* DescriptionText() const { return txtDescription; }
    QPushButton* OkButton() const { return cmdOK; }

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormActivate();
    void KeepAwayFromTheEdges();

    Keyboard& mKeyboard;
    WindowStacking& mStacking;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QPlainTextEdit* txtDescription = nullptr;
    QPushButton* cmdOK = nullptr;
};

} // namespace mirvane
