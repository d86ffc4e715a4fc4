#include "frmKeyboard.h"

#include "common/ErrorObject.h"
#include "engine/Keyboard.h"

#include <QApplication>
#include <QClipboard>

#include <algorithm>

namespace mirvane {

namespace {
constexpr std::int16_t kLeftButton = 1;
constexpr std::int16_t kRightButton = 2;
constexpr std::int16_t kShiftOnly = 1;
constexpr std::int16_t kCtrlOnly = 2;
constexpr std::int16_t kInsert = 45;
constexpr std::int16_t kDelete = 46;

// Ctrl with Insert, V, C or X: copy, paste and cut by keyboard.
constexpr std::int16_t kClipboardKeysWithCtrl[] = {45, 86, 67, 88};

// The characters the engine edits itself: Backspace, the printable ASCII characters and
// 128. Other printable characters go to the engine too, so that nothing but the engine
// ever puts text into the password line.
bool EngineTakes(std::uint16_t code) {
    return code == 8 || (code >= 32 && code <= 126) || code == 128 ||
           (code > 126 && QChar(code).isPrint() && !QChar(code).isSurrogate());
}
} // namespace

void frmKeyboard::LineKeyDown(TextLine& line, std::int16_t& keyCode, std::int16_t shift) {
    if (mKeyboard == nullptr) {
        return;
    }
    if (&line == txtPassword) {
        // Shift+Insert pastes and Shift+Delete cuts.
        if ((keyCode == kInsert || keyCode == kDelete) && shift == kShiftOnly) {
            keyCode = 0;
        }
        if (shift == kCtrlOnly) {
            if (std::find(std::begin(kClipboardKeysWithCtrl), std::end(kClipboardKeysWithCtrl), keyCode) !=
                std::end(kClipboardKeysWithCtrl)) {
                keyCode = 0;
            }
            return;
        }
    }
    mKeyboard->KeyDown(keyCode, shift);
}

void frmKeyboard::LineKeyPress(TextLine& /*line*/, std::int16_t& keyAscii) {
    // Typing into the line is the surest sign the noise should run: focus and mouse events met
    // in an unusual order on a busy desktop must not leave it off.
    if (mKeyboard != nullptr && mKeyboard->Obsfucate() && !tmrRandomNoise.isActive() &&
        QApplication::mouseButtons() == Qt::NoButton) {
        tmrRandomNoise.start();
    }
    if (mKeyboard != nullptr && EngineTakes(static_cast<std::uint16_t>(keyAscii)) &&
        !mKeyboard->KeyPress(keyAscii)) {
        keyAscii = 0;
    }
}

void frmKeyboard::LineKeyUp(TextLine& /*line*/, std::int16_t keyCode, std::int16_t shift) {
    if (mKeyboard != nullptr) {
        mKeyboard->KeyUp(keyCode, shift);
    }
}

void frmKeyboard::RememberPasswordSelection() {
    mSavedSelStart = txtPassword->SelStart();
    mSavedSelLength = txtPassword->SelLength();
}

void frmKeyboard::LineMouseDown(TextLine& line, std::int16_t button, std::int16_t /*shift*/) {
    if (&line == txtPassword) {
        const std::int16_t s = txtPassword->SelStart();
        const std::int32_t savedEnd = static_cast<std::int32_t>(mSavedSelStart) + mSavedSelLength;
        if (mSavedSelLength > 0 && button == kLeftButton && mSavedSelStart <= s && s <= savedEnd) {
            txtPassword->SetSelStart(mSavedSelStart);
            txtPassword->SetSelLength(mSavedSelLength);
            mDragReady = true;
        } else {
            RememberPasswordSelection();
            mDragReady = false;
        }
        if (button == kRightButton) {
            // Only what this program put there: another program's clipboard is not ours to empty.
            QClipboard* clipboard = QGuiApplication::clipboard();
            if (clipboard->ownsClipboard()) {
                clipboard->clear(QClipboard::Clipboard);
            }
            if (clipboard->ownsSelection()) {
                clipboard->clear(QClipboard::Selection);
            }
        }
    }
    if (mKeyboard != nullptr && mKeyboard->Obsfucate()) {
        PauseNoise();
    }
}

bool frmKeyboard::LineMouseMoveStartsDrag(TextLine& line, std::int16_t button, std::int16_t /*shift*/) {
    if (&line != txtPassword || button != kLeftButton || !mDragReady || mSavedSelLength < 1) {
        return false;
    }
    txtPassword->SetSelStart(mSavedSelStart);
    txtPassword->SetSelLength(mSavedSelLength);
    mDragReady = false; // one drag per press
    DragPassword();
    return true;
}

// The selection as this move left it, so that a press at its end arms the next drag.
void frmKeyboard::LineMouseMove(TextLine& line, std::int16_t button, std::int16_t shift) {
    if (&line == txtPassword) {
        RememberPasswordSelection();
    }
    if (mKeyboard != nullptr) {
        mKeyboard->MouseMoveInTextBox(button, shift, 0, 0);
    }
}

void frmKeyboard::LineMouseUp(TextLine& line, std::int16_t /*button*/, std::int16_t /*shift*/) {
    if (&line == txtPassword) {
        mDragReady = false;
        const std::int16_t s = txtPassword->SelStart();
        const std::int32_t savedEnd = static_cast<std::int32_t>(mSavedSelStart) + mSavedSelLength;
        if (!(mSavedSelStart <= s && s < savedEnd)) {
            txtPassword->SetSelLength(0);
        }
    }
    ResumeNoise(line);
}

// Noise pauses while a button is held in a line and resumes, caret at the end, on release.
// A selection stays for a drag: the engine holds the noise back until it is gone.
void frmKeyboard::ResumeNoise(TextLine& line) {
    if (mKeyboard != nullptr && mKeyboard->Obsfucate() && !tmrRandomNoise.isActive()) {
        if (line.SelLength() == 0) {
            line.SetSelStart(static_cast<std::int16_t>(line.Text().size()));
        }
        tmrRandomNoise.start();
    }
}

// A key still held by the noise goes up with the pause: nothing it pressed stays down.
void frmKeyboard::PauseNoise() {
    tmrRandomNoise.stop();
    if (mKeyboard != nullptr) {
        mKeyboard->ReleaseNoiseKeys();
    }
}

void frmKeyboard::LineDoubleClick(TextLine& line) {
    // The toolkit reports a double click's second press as this event alone.
    if (mKeyboard != nullptr && mKeyboard->Obsfucate()) {
        PauseNoise();
    }
    if (&line != txtPassword) {
        return;
    }
    txtPassword->SetSelStart(0);
    txtPassword->SetSelLength(static_cast<std::int16_t>(txtPassword->Text().size()));
    RememberPasswordSelection();
}

void frmKeyboard::LineStartsDrag(TextLine& line) {
    if (&line == txtText) {
        DragPlainText();
    }
}

void frmKeyboard::LineGotFocus(TextLine& /*line*/) {
    if (mKeyboard != nullptr && mKeyboard->Obsfucate() && !tmrRandomNoise.isActive()) {
        tmrRandomNoise.start();
    }
}

void frmKeyboard::LineLostFocus(TextLine& /*line*/) { PauseNoise(); }

// The drag offers the text without handing it over: only the program it is dropped on gets
// it, once, and only for a short while after the drop. A target asks at once; one that
// has idled that long without asking gets nothing, and neither does anybody who asks later.
Qt::DropAction frmKeyboard::RunDrag(SecretText dragged) {
    EndDrop(); // a drop still waiting for its target is over now
    auto* drag = new QDrag(this);
    auto* offered = new SecretMimeData(std::move(dragged), [this] { return mDropGate.MayAnswer(); });
    drag->setMimeData(offered);
    // A clear dot beside the pointer, so that the window under the pointer is the target's.
    QPixmap dot(1, 1);
    dot.fill(Qt::transparent);
    drag->setPixmap(dot);
    drag->setHotSpot(QPoint(-4, -4));
    mDragData = offered;
    mDropGate.Start();
    Qt::DropAction action = Qt::IgnoreAction;
    if (mRunDrag) {
        action = mRunDrag(*drag);
        drag->deleteLater();
    } else {
        action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    }
    if (action == Qt::IgnoreAction) {
        EndDrop();
    } else {
        WatchDropDeadline();
    }
    return action;
}

// The target's moment is counted in its own time, looked at every tenth of a second; once it
// is over, a request the X server took before then is still answered.
void frmKeyboard::WatchDropDeadline() {
    constexpr std::chrono::nanoseconds kLook = std::chrono::milliseconds(100);
    if (mDropGate.Open() && mXdndWatch != nullptr) {
        mDropGate.HeldBack(mXdndWatch->TargetHeldBack());
    }
    const std::chrono::nanoseconds remaining = mDropGate.Remaining();
    if (!mDropGate.Open()) {
        EndDrop();
    } else if (remaining > std::chrono::nanoseconds{}) {
        mDropDeadline.start(std::chrono::ceil<std::chrono::milliseconds>(std::min(remaining, kLook)));
    } else if (mXdndWatch != nullptr) {
        mXdndWatch->CloseBehindRequests();
        mDropDeadline.start(std::chrono::ceil<std::chrono::milliseconds>(kLook));
    } else {
        EndDrop();
    }
}

void frmKeyboard::EndDrop() {
    mDropDeadline.stop();
    mDropGate.Close();
    if (mDragData != nullptr) {
        mDragData->Wipe();
    }
    mDragData = nullptr;
}

// A text box that is the source of a move drops the moved selection itself.
void frmKeyboard::RemoveSelectionAfterMove(TextLine& line, std::int16_t start, std::int16_t length) {
    const SecretText text = line.Text();
    const auto from =
        std::min<std::size_t>(static_cast<std::size_t>(std::max<std::int16_t>(start, 0)), text.size());
    line.SetText(text.substr(0, from) +
                 text.substr(std::min(text.size(), from + static_cast<std::size_t>(length))));
    line.SetSelStart(start);
}

void frmKeyboard::DragPassword() {
    SecretText dragged;
    try {
        // The real password, never what the line shows.
        if (mKeyboard != nullptr) {
            dragged = mKeyboard->CurrentPassword();
        }
        mSavedText = txtPassword->Text();
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mErrors.LogError("txtPassword_OLEStartDrag", error.number, error.description, *this);
        return;
    }
    const std::int16_t start = mSavedSelStart;
    const std::int16_t length = mSavedSelLength;
    const bool moved = RunDrag(std::move(dragged)) == Qt::MoveAction;
    if (moved) {
        RemoveSelectionAfterMove(*txtPassword, start, length);
    }
    try {
        const bool keep = mKeyboard != nullptr && mKeyboard->KeepPasswordAfterDragDrop();
        if (keep) {
            txtPassword->SetText(mSavedText);
            txtPassword->SetSelStart(0);
        } else if (moved && mKeyboard != nullptr) {
            // The buffer loses what the line lost, so a later drag sends what the line shows.
            SecretText password = mKeyboard->CurrentPassword();
            const auto from = std::min<std::size_t>(static_cast<std::size_t>(start), password.size());
            password.erase(from, static_cast<std::size_t>(length));
            mKeyboard->SetCurrentPassword(std::move(password));
        }
        txtPassword->SetSelLength(0);
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mErrors.LogError("txtPassword_OLECompleteDrag", error.number, error.description, *this);
    }
    Wipe(mSavedText);
    ResumeNoise(*txtPassword);
}

void frmKeyboard::DragPlainText() {
    const std::int16_t start = txtText->SelStart();
    const std::int16_t length = txtText->SelLength();
    mSavedText = txtText->Text();
    if (RunDrag(txtText->SelText()) == Qt::MoveAction) {
        RemoveSelectionAfterMove(*txtText, start, length);
    }
    if (mKeyboard != nullptr && mKeyboard->KeepPasswordAfterDragDrop()) {
        txtText->SetText(mSavedText);
        txtText->SetSelStart(0);
        txtText->SetSelLength(static_cast<std::int16_t>(mSavedText.size()));
    }
    Wipe(mSavedText);
    ResumeNoise(*txtText);
}

} // namespace mirvane
