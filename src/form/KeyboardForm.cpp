#include "KeyboardForm.h"

#include "LineKeys.h"
#include "MenuTable.h"

#include "common/ErrorObject.h"
#include "engine/Keyboard.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace mirvane {

namespace {
constexpr std::string_view kTextLinesTimersAndImages[] = {"Timer1",         "txtPassword", "txtText",
                                                          "tmrRandomNoise", "ImageList1",  "ilToolbarImages"};

bool StaysWhenToolbarShows(std::string_view name) {
    if (name.substr(0, 3) == "mnu") {
        return true;
    }
    for (std::string_view kept : kTextLinesTimersAndImages) {
        if (name == kept) {
            return true;
        }
    }
    return false;
}

constexpr std::int16_t kLeftButton = 1;
constexpr std::int16_t kRightButton = 2;
constexpr std::int16_t kShiftOnly = 1;
constexpr std::int16_t kCtrlOnly = 2;
constexpr std::int16_t kInsert = 45;
constexpr std::int16_t kDelete = 46;

// Ctrl with Insert, V, C or X: copy, paste and cut by keyboard.
constexpr std::int16_t kClipboardKeysWithCtrl[] = {45, 86, 67, 88};

} // namespace

// The characters the engine edits itself: Backspace, the printable ASCII characters and
// 128. Other printable characters go to the engine too, so that nothing but the engine
// ever puts text into the password line.
bool KeyboardForm::EngineTakes(std::uint16_t code) const {
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code == 8 || (code >= 32 && code <= 126) || code == 128 ||
           (code > 126 && !surrogate && mToolkit.Printable(static_cast<char16_t>(code)));
}

bool KeyboardForm::LineKeyDown(TextLine& line, std::int16_t& keyCode, std::int16_t shift,
                               bool otherModifier) {
    const bool password = &line == &mWindow.Password();
    const bool lineTakes = !password || PasswordLineTakesKey(keyCode, shift, otherModifier);
    if (password) {
        // With a modifier the line deletes more than the engine, or the engine alone; Shift+Insert
        // pastes and Shift+Delete cuts.
        if ((keyCode == kDelete && !lineTakes) || (keyCode == kInsert && shift == kShiftOnly)) {
            keyCode = 0;
        }
        if (shift == kCtrlOnly) {
            if (std::find(std::begin(kClipboardKeysWithCtrl), std::end(kClipboardKeysWithCtrl), keyCode) !=
                std::end(kClipboardKeysWithCtrl)) {
                keyCode = 0;
            }
            return lineTakes && keyCode != 0;
        }
    }
    if (mKeyboard != nullptr) {
        mKeyboard->KeyDown(keyCode, shift);
    }
    if (const ClipboardKey copy = PlainLineClipboardKey(keyCode, shift);
        !password && copy != ClipboardKey::None) {
        keyCode = 0; // the line's own copy would be unmarked and stay for good
        LineCopy(line, copy == ClipboardKey::Cut);
    }
    return lineTakes && keyCode != 0;
}

void KeyboardForm::LineKeyPress(TextLine& line, std::int16_t& keyAscii) {
    // Typing into the line is the surest sign the noise should run: focus and mouse events met
    // in an unusual order on a busy desktop must not leave it off.
    if (NoiseShouldRun() && !mWindow.NoiseTimer().Enabled() && !mToolkit.MouseButtonHeld()) {
        mWindow.NoiseTimer().SetEnabled(true);
    }
    if (mKeyboard != nullptr && EngineTakes(static_cast<std::uint16_t>(keyAscii)) &&
        !mKeyboard->KeyPress(keyAscii)) {
        keyAscii = 0;
    }
    if (&line == &mWindow.Password()) {
        keyAscii = 0; // what the engine refused stays out, or line and buffer part ways
    }
}

bool KeyboardForm::NoiseShouldRun() const {
    return mKeyboard != nullptr && mKeyboard->Obsfucate() && mMenusOpen == 0;
}

void KeyboardForm::LineKeyUp(TextLine& /*line*/, std::int16_t keyCode, std::int16_t shift) {
    if (mKeyboard != nullptr) {
        mKeyboard->KeyUp(keyCode, shift);
    }
}

void KeyboardForm::RememberPasswordSelection() {
    mSavedSelStart = mWindow.Password().SelStart();
    mSavedSelLength = mWindow.Password().SelLength();
}

void KeyboardForm::LineMouseDown(TextLine& line, std::int16_t button, std::int16_t /*shift*/) {
    if (&line == &mWindow.Password()) {
        const std::int16_t s = mWindow.Password().SelStart();
        const std::int32_t savedEnd = static_cast<std::int32_t>(mSavedSelStart) + mSavedSelLength;
        if (mSavedSelLength > 0 && button == kLeftButton && mSavedSelStart <= s && s <= savedEnd) {
            mWindow.Password().SetSelStart(mSavedSelStart);
            mWindow.Password().SetSelLength(mSavedSelLength);
            mDragReady = true;
        } else {
            RememberPasswordSelection();
            mDragReady = false;
        }
        if (button == kRightButton) {
            // Only what this program put there: another program's clipboard is not ours to empty.
            mToolkit.ClearOwnClipboard();
        }
    }
    if (mKeyboard != nullptr && mKeyboard->Obsfucate()) {
        PauseNoise();
    }
}

bool KeyboardForm::LineMouseMoveStartsDrag(TextLine& line, std::int16_t button, std::int16_t /*shift*/) {
    if (&line != &mWindow.Password() || button != kLeftButton || !mDragReady || mSavedSelLength < 1) {
        return false;
    }
    mWindow.Password().SetSelStart(mSavedSelStart);
    mWindow.Password().SetSelLength(mSavedSelLength);
    mDragReady = false; // one drag per press
    DragPassword();
    return true;
}

// The selection as this move left it, so that a press at its end arms the next drag.
void KeyboardForm::LineMouseMove(TextLine& line, std::int16_t button, std::int16_t shift) {
    if (&line == &mWindow.Password()) {
        RememberPasswordSelection();
    }
    if (mKeyboard != nullptr) {
        mKeyboard->MouseMoveInTextBox(button, shift, 0, 0);
    }
}

void KeyboardForm::LineMouseUp(TextLine& line, std::int16_t /*button*/, std::int16_t /*shift*/) {
    if (&line == &mWindow.Password()) {
        mDragReady = false;
        const std::int16_t s = mWindow.Password().SelStart();
        const std::int32_t savedEnd = static_cast<std::int32_t>(mSavedSelStart) + mSavedSelLength;
        if (!(mSavedSelStart <= s && s < savedEnd)) {
            mWindow.Password().SetSelLength(0);
        }
    }
    ResumeNoise(line);
}

// Noise pauses while a button is held in a line and resumes, caret at the end, on release.
// A selection stays for a drag: the engine holds the noise back until it is gone.
void KeyboardForm::ResumeNoise(TextLine& line) {
    if (NoiseShouldRun() && !mWindow.NoiseTimer().Enabled()) {
        if (line.SelLength() == 0) {
            line.SetSelStart(static_cast<std::int16_t>(line.Text().size()));
        }
        mWindow.NoiseTimer().SetEnabled(true);
    }
}

void KeyboardForm::PauseNoise() {
    mWindow.NoiseTimer().SetEnabled(false);
    if (mKeyboard != nullptr) {
        mKeyboard->ReleaseNoiseKeys();
    }
}

void KeyboardForm::LineDoubleClick(TextLine& line) {
    // The toolkit reports a double click's second press as this event alone.
    if (mKeyboard != nullptr && mKeyboard->Obsfucate()) {
        PauseNoise();
    }
    if (&line != &mWindow.Password()) {
        return;
    }
    mWindow.Password().SetSelStart(0);
    mWindow.Password().SetSelLength(static_cast<std::int16_t>(mWindow.Password().Text().size()));
    RememberPasswordSelection();
}

// A press inside the plain line's selection arms a drag of it; a move far enough with the
// button held starts the drag, a release before that puts the caret where it was released.
bool KeyboardForm::PlainLinePressArmsDrag(TextLine& line, std::int16_t button, std::int32_t at,
                                          LinePoint point) {
    const std::int32_t start = line.SelStart();
    const std::int32_t length = line.SelLength();
    mPlainDragArmed = &line == &mWindow.PlainText() && button == kLeftButton && length > 0 && start <= at &&
                      at <= start + length;
    mPlainPressedAt = point;
    return mPlainDragArmed;
}

bool KeyboardForm::PlainLineMoveTaken(TextLine& line, std::int16_t buttons, LinePoint point,
                                      std::int32_t dragDistance) {
    if (!mPlainDragArmed || &line != &mWindow.PlainText()) {
        return false;
    }
    if ((buttons & kLeftButton) == 0) {
        mPlainDragArmed = false; // the release went elsewhere
        return false;
    }
    const std::int32_t moved = std::abs(point.x - mPlainPressedAt.x) + std::abs(point.y - mPlainPressedAt.y);
    if (moved >= dragDistance) {
        mPlainDragArmed = false;
        DragPlainText();
    }
    return true;
}

bool KeyboardForm::PlainLineReleaseTaken(TextLine& line, std::int32_t at) {
    if (!std::exchange(mPlainDragArmed, false) || &line != &mWindow.PlainText()) {
        return false;
    }
    line.SetSelStart(static_cast<std::int16_t>(std::clamp<std::int32_t>(at, 0, INT16_MAX)));
    return true;
}

// The plain line's copy goes on the clipboard marked, for a while; the password line gives
// nothing away.
void KeyboardForm::LineCopy(TextLine& line, bool cut) {
    if (&line != &mWindow.PlainText()) {
        return;
    }
    const SecretText text = line.Text();
    const auto start = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<std::int16_t>(line.SelStart(), 0)), text.size());
    const auto length = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<std::int16_t>(line.SelLength(), 0)), text.size() - start);
    if (length == 0) {
        return;
    }
    const SecretText copy = text.substr(start, length);
    if (cut) {
        line.SetText(text.substr(0, start) + text.substr(start + length));
        line.SetSelStart(static_cast<std::int16_t>(start));
    }
    mToolkit.OfferCopy(copy);
}

void KeyboardForm::LineGotFocus(TextLine& /*line*/) {
    if (NoiseShouldRun() && !mWindow.NoiseTimer().Enabled()) {
        mWindow.NoiseTimer().SetEnabled(true);
    }
}

void KeyboardForm::LineLostFocus(TextLine& /*line*/) { PauseNoise(); }

void KeyboardForm::OnMenu(Menu item) {
    if (mKeyboard == nullptr) {
        return;
    }
    Keyboard& keyboard = *mKeyboard;
    switch (item) {
    case Menu::FileExit:
        mToolkit.CloseWindow();
        return;
    case Menu::FileKeepOnTop:
        KeepOnTopClick();
        break;
    case Menu::OptionsKeepPasswordAfterDragDrop:
        KeepPasswordClick();
        break;
    case Menu::HelpAbout:
        AboutClick();
        break;
    case Menu::EntryModeScramble:
        keyboard.SetKeyboardLayoutType(kLayoutScrambleOnScreen);
        break;
    case Menu::EntryModeScrambleAll:
        keyboard.SetKeyboardLayoutType(kLayoutScrambleAll);
        break;
    case Menu::EntryModeDvorak:
        keyboard.SetKeyboardLayoutType(keyboard.KeyboardLayoutType() == kLayoutDvorak ? kLayoutStandard
                                                                                      : kLayoutDvorak);
        break;
    case Menu::EntryModeUnscrambleAll:
        if (keyboard.KeyboardLayoutType() != kLayoutStandard) {
            keyboard.SetKeyboardLayoutType(kLayoutStandard);
        }
        break;
    case Menu::ViewToolbar:
        ViewToolbarClick();
        break;
    case Menu::ModeStandard:
        keyboard.SetInputMode(1);
        break;
    case Menu::ModeHover:
        keyboard.SetInputMode(2);
        break;
    case Menu::ModeHiddenMouseAndHover:
        keyboard.SetInputMode(3);
        break;
    case Menu::OptionsBeepOnHover:
        BeepClick();
        break;
    case Menu::OptionsObsfucate:
        ObsfucateClick();
        break;
    case Menu::ViewPasswordMask:
        keyboard.SetTextIsMasked(!mWindow.MenuEntry(Menu::ViewPasswordMask).Checked());
        break;
    default:
        return;
    }
}

void KeyboardForm::OnToolbarButton(std::string_view key) {
    if (mKeyboard == nullptr) {
        return;
    }
    Keyboard& keyboard = *mKeyboard;
    const std::int16_t layout = keyboard.KeyboardLayoutType();
    if (key == "Standard") {
        keyboard.SetInputMode(1);
    } else if (key == "Hover") {
        keyboard.SetInputMode(2);
    } else if (key == "HideMouse") {
        keyboard.SetInputMode(3);
    } else if (key == "Beep") {
        BeepClick();
    } else if (key == "ToggleMask") {
        keyboard.SetTextIsMasked(!mWindow.MenuEntry(Menu::ViewPasswordMask).Checked());
    } else if (key == "ScrambleOnScreen") {
        keyboard.SetKeyboardLayoutType(kLayoutScrambleOnScreen);
    } else if (key == "ScrambleAll") {
        keyboard.SetKeyboardLayoutType(layout == kLayoutScrambleAll ? kLayoutStandard : kLayoutScrambleAll);
    } else if (key == "Unscramble") {
        if (layout != kLayoutStandard) {
            keyboard.SetKeyboardLayoutType(kLayoutStandard);
        }
    } else if (key == "Clear") {
        keyboard.ClearText();
    } else if (key == "Dvorak") {
        keyboard.SetKeyboardLayoutType(layout == kLayoutDvorak ? kLayoutStandard : kLayoutDvorak);
    } else if (key == "KeepOnTop") {
        KeepOnTopClick();
    } else if (key == "KeepPassword") {
        KeepPasswordClick();
    } else if (key == "Obsfucate") {
        ObsfucateClick();
    }
    // A pressed-state button toggles itself when clicked; show the state actually in force.
    keyboard.RefreshToolbar();
}

bool KeyboardForm::FlipCheck(Menu item) {
    MenuItem& entry = mWindow.MenuEntry(item);
    entry.SetChecked(!entry.Checked());
    return entry.Checked();
}

void KeyboardForm::KeepOnTopClick() {
    try {
        const bool onTop = FlipCheck(Menu::FileKeepOnTop);
        mKeyboard->SetKeepOnTop(onTop);
        mStacking.SetTopMost(mWindow.Handle(), onTop);
        mKeyboard->RefreshToolbar();
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mErrors.LogError("mnuFileKeepOnTop_Click", error.number, error.description, mWindow);
    }
}

// Read, flip and write the menu check, so that menu and toolbar never disagree.
void KeyboardForm::BeepClick() { mKeyboard->SetBeepOnHover(FlipCheck(Menu::OptionsBeepOnHover)); }

// The toolbar shows the new state at once, off as well as on.
void KeyboardForm::ObsfucateClick() {
    mKeyboard->SetObsfucate(FlipCheck(Menu::OptionsObsfucate));
    mKeyboard->RefreshToolbar();
}

void KeyboardForm::KeepPasswordClick() {
    mKeyboard->SetKeepPasswordAfterDragDrop(FlipCheck(Menu::OptionsKeepPasswordAfterDragDrop));
    mKeyboard->RefreshToolbar();
}

// The about window takes the top-most place while it shows; the main window gets it back.
void KeyboardForm::AboutClick() {
    try {
        mToolkit.ShowAboutBox();
        if (mWindow.MenuEntry(Menu::FileKeepOnTop).Checked()) {
            mStacking.SetTopMost(mWindow.Handle(), true);
        }
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mErrors.LogError("mnuHelpAbout_Click", error.number, error.description, mWindow);
    }
}

void KeyboardForm::ViewToolbarClick() {
    // Every control of the window by name, with its position where it has one.
    std::vector<std::pair<std::string, Placeable*>> controls{{"StatusBar1", &mWindow.StatusBar()},
                                                             {"tmrRandomNoise", nullptr},
                                                             {"ilToolbarImages", nullptr},
                                                             {"txtText", &mWindow.PlainText()}};
    for (int number = 1; number <= kKeyButtonCount; ++number) {
        controls.emplace_back("Command" + std::to_string(number), &mWindow.Button(number));
    }
    controls.insert(controls.end(), {{"tbToolbar", &mWindow.Toolbar()},
                                     {"Timer1", nullptr},
                                     {"txtPassword", &mWindow.Password()},
                                     {"ImageList1", nullptr}});
    for (const MenuEntryDesign& entry : kMenuEntries) {
        controls.emplace_back(std::string(entry.name), nullptr);
    }

    try {
        const bool shown = FlipCheck(Menu::ViewToolbar);
        mWindow.Toolbar().SetVisible(shown);
        const std::int32_t h = mWindow.Toolbar().Height();
        if (shown) {
            for (auto& [name, control] : controls) {
                if (!StaysWhenToolbarShows(name) && control != nullptr) {
                    control->SetTop(control->Top() + h);
                }
            }
            mWindow.SetHeight(mWindow.Height() + h);
        } else {
            for (auto& [name, control] : controls) {
                if (control != nullptr) {
                    try {
                        control->SetTop(control->Top() - h);
                    } catch (...) {
                    }
                }
            }
            mWindow.SetHeight(mWindow.Height() - h);
        }
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mErrors.LogError("mnuViewToolbar_Click", error.number, error.description, mWindow);
    }
}

TextLine& KeyboardForm::VisibleLine() {
    return mWindow.Password().Visible() ? mWindow.Password() : mWindow.PlainText();
}

void KeyboardForm::FormActivate() {
    VisibleLine().SetFocus();
    if (mKeyboard != nullptr) {
        mKeyboard->RefreshToolbar();
    }
}

// The system may put the focus on the frame after activation: it goes on to the line.
void KeyboardForm::FormGotFocus() {
    VisibleLine().SetFocus();
    LineGotFocus(VisibleLine());
    if (mKeyboard != nullptr) {
        mKeyboard->RefreshToolbar();
    }
}

// No key the noise pressed stays down, no copy outlives the window.
void KeyboardForm::FormUnload() {
    PauseNoise();
    mToolkit.WithdrawCopy();
    mToolkit.RaiseCursorCount();
}

void KeyboardForm::MenuOpened() {
    ++mMenusOpen;
    PauseNoise();
}

void KeyboardForm::MenuClosed() {
    mMenusOpen = std::max(mMenusOpen - 1, 0);
    if (NoiseShouldRun() && mWindow.TextLineHasFocus() && !mToolkit.MouseButtonHeld()) {
        mWindow.NoiseTimer().SetEnabled(true);
    }
}

void StackAboutBox(bool keepOnTop, WindowStacking& stacking, WindowHandle mainWindow, WindowHandle about) {
    if (keepOnTop) {
        stacking.SetTopMost(mainWindow, false);
        stacking.SetTopMost(about, true);
    }
}

void KeyboardForm::FormDeactivate() {
    PauseNoise();
    if (mKeyboard != nullptr) {
        mKeyboard->RefreshToolbar();
    }
}

// Each statement on its own: a failure (a window too small for the line) skips only it.
void KeyboardForm::FormResize() {
    TextLine& password = mWindow.Password();
    try {
        password.SetHeight(mWindow.Height() - password.Top() - 850);
    } catch (...) {
    }
    try {
        password.SetWidth(mWindow.Width() - 200);
    } catch (...) {
    }
    if (mKeyboard == nullptr) {
        return; // before the engine holds the window, a resize has nothing to lay out
    }
    try {
        mKeyboard->Resize();
    } catch (...) {
    }
    try {
        mKeyboard->RefreshToolbar();
    } catch (...) {
    }
}

void KeyboardForm::HoverTimerTick() {
    if (mKeyboard != nullptr) {
        mKeyboard->Timer1Tick();
    }
}

// A failing tick stops the noise with every key it holds up, and says why.
void KeyboardForm::NoiseTimerTick() {
    if (mKeyboard == nullptr) {
        return;
    }
    try {
        mKeyboard->NoiseTimerTick();
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mWindow.NoiseTimer().SetEnabled(false);
        try {
            mKeyboard->ReleaseNoiseKeys();
        } catch (...) {
        }
        mErrors.LogError("tmrRandomNoise_Timer", error.number, error.description, mWindow);
    }
}

// A text box that is the source of a move drops the moved selection itself.
void KeyboardForm::RemoveSelectionAfterMove(TextLine& line, std::int16_t start, std::int16_t length) {
    const SecretText text = line.Text();
    const auto from =
        std::min<std::size_t>(static_cast<std::size_t>(std::max<std::int16_t>(start, 0)), text.size());
    line.SetText(text.substr(0, from) +
                 text.substr(std::min(text.size(), from + static_cast<std::size_t>(length))));
    line.SetSelStart(start);
}

void KeyboardForm::DragPassword() {
    SecretText dragged;
    try {
        // The real password, never what the line shows.
        if (mKeyboard != nullptr) {
            dragged = mKeyboard->CurrentPassword();
        }
        mSavedText = mWindow.Password().Text();
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mErrors.LogError("txtPassword_OLEStartDrag", error.number, error.description, mWindow);
        return;
    }
    const std::int16_t start = mSavedSelStart;
    const std::int16_t length = mSavedSelLength;
    const bool moved = mToolkit.RunDrag(std::move(dragged)) == DropEffect::Move;
    if (moved) {
        RemoveSelectionAfterMove(mWindow.Password(), start, length);
    }
    try {
        const bool keep = mKeyboard != nullptr && mKeyboard->KeepPasswordAfterDragDrop();
        if (keep) {
            mWindow.Password().SetText(mSavedText);
            mWindow.Password().SetSelStart(0);
        } else if (moved && mKeyboard != nullptr) {
            // The buffer loses what the line lost, so a later drag sends what the line shows.
            SecretText password = mKeyboard->CurrentPassword();
            const auto from = std::min<std::size_t>(static_cast<std::size_t>(start), password.size());
            password.erase(from, static_cast<std::size_t>(length));
            mKeyboard->SetCurrentPassword(std::move(password));
        }
        mWindow.Password().SetSelLength(0);
    } catch (...) {
        const CaughtError error = DescribeCurrentException();
        mErrors.LogError("txtPassword_OLECompleteDrag", error.number, error.description, mWindow);
    }
    Wipe(mSavedText);
    ResumeNoise(mWindow.Password());
}

void KeyboardForm::DragPlainText() {
    TextLine& line = mWindow.PlainText();
    const std::int16_t start = line.SelStart();
    const std::int16_t length = line.SelLength();
    mSavedText = line.Text();
    // Positions count a line break as two characters, as the text does.
    const auto from = std::min<std::size_t>(static_cast<std::size_t>(start), mSavedText.size());
    if (mToolkit.RunDrag(mSavedText.substr(from, static_cast<std::size_t>(length))) == DropEffect::Move) {
        RemoveSelectionAfterMove(line, start, length);
    }
    if (mKeyboard != nullptr && mKeyboard->KeepPasswordAfterDragDrop()) {
        line.SetText(mSavedText);
        line.SetSelStart(0);
        line.SetSelLength(static_cast<std::int16_t>(mSavedText.size()));
    }
    Wipe(mSavedText);
    ResumeNoise(line);
}

} // namespace mirvane
