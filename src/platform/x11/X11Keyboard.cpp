#include "X11Keyboard.h"

#include "Display.h"
#include "KeyGuardian.h"
#include "VirtualKeys.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>
#include <xcb/xtest.h>
// The XKB header names a field "explicit", a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace mirvane::x11 {

namespace {
template <class Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;
template <class Reply> ReplyPtr<Reply> Owned(Reply* reply) { return ReplyPtr<Reply>(reply, &std::free); }

constexpr int kShift = 16;
constexpr int kControl = 17;
constexpr int kAlt = 18;
constexpr int kCapsLock = 20;
} // namespace

X11Keyboard::X11Keyboard() {
    mConnection = Connect("No X display to send keys to");
    const xcb_setup_t* setup = xcb_get_setup(mConnection);
    mMinKeycode = setup->min_keycode;
    mMaxKeycode = setup->max_keycode;
    LoadKeymap();
    auto xkb = Owned(xcb_xkb_use_extension_reply(
        mConnection, xcb_xkb_use_extension(mConnection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
        nullptr));
    mHasXkb = xkb && xkb->supported;
    if (mHasXkb) {
        // Told of every change to the keyboard map and of the active group, not read once.
        constexpr std::uint16_t kEvents =
            XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY | XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
        xcb_xkb_select_events(mConnection, XCB_XKB_ID_USE_CORE_KBD, kEvents, 0, kEvents, 0xff, 0xff, nullptr);
        mXkbFirstEvent = xcb_get_extension_data(mConnection, &xcb_xkb_id)->first_event;
        auto state = Owned(xcb_xkb_get_state_reply(
            mConnection, xcb_xkb_get_state(mConnection, XCB_XKB_ID_USE_CORE_KBD), nullptr));
        mGroup = state ? state->group : 0;
        mShifted = state && (state->mods & XCB_MOD_MASK_SHIFT) != 0;
    }
    WatchRawKeyPresses();
}

// The server drops the press of a key that is down already, also when the person's keyboard
// sends it while a key of ours holds it: the raw key events, which come before that, still
// tell. Ours are counted off as they come back.
void X11Keyboard::WatchRawKeyPresses() {
    const xcb_query_extension_reply_t* input = xcb_get_extension_data(mConnection, &xcb_input_id);
    if (input == nullptr || !input->present) {
        return;
    }
    auto version = Owned(xcb_input_xi_query_version_reply(
        mConnection, xcb_input_xi_query_version(mConnection, 2, 0), nullptr));
    if (!version || version->major_version < 2) {
        return;
    }
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t mask;
    } select{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS};
    mHasRawEvents = xcb_request_check(mConnection, xcb_input_xi_select_events_checked(
                                                       mConnection, RootWindow(mConnection), 1, &select.head)) ==
                    nullptr;
    mInputOpcode = input->major_opcode;
}

void X11Keyboard::FollowKeyboardChanges() {
    bool reload = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(mConnection)) {
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_GE_GENERIC) {
            const auto* raw = reinterpret_cast<const xcb_input_raw_key_press_event_t*>(event);
            if (mHasRawEvents && raw->extension == mInputOpcode && raw->event_type == XCB_INPUT_RAW_KEY_PRESS &&
                raw->detail < 256) {
                int& own = mOwnPressesUnseen[raw->detail];
                if (own > 0) {
                    --own;
                } else {
                    // Without XKB's word of each change, Shift as it is now is the best guess.
                    const bool shifted = mHasXkb ? mShifted : (GetAsyncKeyState(kShift) & kKeyDownBit) != 0;
                    mPressedByOthers[raw->detail] = shifted ? PressElsewhere::Shifted : PressElsewhere::Unshifted;
                }
            }
        } else if (type == XCB_MAPPING_NOTIFY) {
            reload = true;
        } else if (mHasXkb && type == mXkbFirstEvent) {
            const std::uint8_t xkbType = reinterpret_cast<const std::uint8_t*>(event)[1];
            if (xkbType == XCB_XKB_STATE_NOTIFY) {
                // Read in order with the raw presses: the Shift a press had, not the one of now.
                const auto* state = reinterpret_cast<const xcb_xkb_state_notify_event_t*>(event);
                mGroup = state->group;
                mShifted = (state->mods & XCB_MOD_MASK_SHIFT) != 0;
            } else {
                reload = true;
            }
        }
        std::free(event);
    }
    if (reload) {
        LoadKeymap();
    }
}

// The keymap column of a key's first level in the active group: the first two columns
// are the first group, the next two the second. A key with one group gives it in every
// group; a group past the second has no columns here (-1).
int X11Keyboard::GroupColumn(int keycode) const {
    if (mGroup > 1) {
        return -1;
    }
    if (mGroup == 0 || mKeysymsPerKeycode < 4) {
        return 0;
    }
    const std::size_t base = static_cast<std::size_t>((keycode - mMinKeycode) * mKeysymsPerKeycode);
    const bool hasSecondGroup = base + 3 < mKeysyms.size() && (mKeysyms[base + 2] != 0 || mKeysyms[base + 3] != 0);
    return hasSecondGroup ? 2 : 0;
}

// The keysym a key gives at a level (0 unshifted, 1 shifted) in the active group.
std::uint32_t X11Keyboard::KeysymAt(int keycode, int level) const {
    const int column = GroupColumn(keycode);
    if (column < 0 || column + level >= mKeysymsPerKeycode) {
        return 0;
    }
    const std::size_t at = static_cast<std::size_t>((keycode - mMinKeycode) * mKeysymsPerKeycode + column + level);
    return at < mKeysyms.size() ? mKeysyms[at] : 0;
}

X11Keyboard::~X11Keyboard() {
    if (mConnection != nullptr) {
        xcb_disconnect(mConnection);
    }
}

void X11Keyboard::LoadKeymap() {
    const auto count = static_cast<std::uint8_t>(mMaxKeycode - mMinKeycode + 1);
    auto mapping = Owned(xcb_get_keyboard_mapping_reply(
        mConnection, xcb_get_keyboard_mapping(mConnection, mMinKeycode, count), nullptr));
    if (!mapping) {
        return;
    }
    mKeysymsPerKeycode = mapping->keysyms_per_keycode;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    mKeysyms.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(mapping.get()));
}

std::uint8_t X11Keyboard::KeycodeOf(int virtualKey) {
    if (const std::uint8_t keycode = KeycodeOfPunctuationKey(virtualKey);
        keycode >= mMinKeycode && keycode <= mMaxKeycode && keycode != 0) {
        return keycode;
    }
    const std::uint32_t keysym = KeysymOfVirtualKey(virtualKey);
    if (keysym == 0 || mKeysymsPerKeycode == 0) {
        return 0;
    }
    // The key that has the keysym unshifted, else any key that has it.
    for (int level = 0; level < 2; ++level) {
        for (int keycode = mMinKeycode; keycode <= mMaxKeycode; ++keycode) {
            if (KeysymAt(keycode, level) == keysym) {
                return static_cast<std::uint8_t>(keycode);
            }
        }
    }
    return 0;
}

// Code 0 names no key: nothing is sent. So is a key the keymap does not have. A release goes
// to the keycode the press went to, though the keymap or group changed since.
void X11Keyboard::KeyboardEvent(std::uint8_t virtualKey, std::uint32_t flags) {
    FollowKeyboardChanges();
    const bool release = (flags & kKeyEventKeyUp) != 0;
    std::uint8_t& pressed = mPressedKeycode[virtualKey];
    const std::uint8_t keycode = virtualKey == 0 ? 0 : release && pressed != 0 ? pressed : KeycodeOf(virtualKey);
    if (keycode == 0) {
        return;
    }
    if (release) {
        pressed = 0;
    } else {
        pressed = keycode;
        GuardKeyPressed(keycode);
        mPressedByOthers[keycode] = PressElsewhere::None;
        mOwnPressesUnseen[keycode] += mHasRawEvents ? 1 : 0;
    }
    xcb_test_fake_input(mConnection, release ? XCB_KEY_RELEASE : XCB_KEY_PRESS, keycode, XCB_CURRENT_TIME, XCB_NONE,
                        0, 0, 0);
    // A round trip: once it returns, the server has delivered the key to the focused window.
    std::free(xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr));
    if (release) {
        GuardKeyReleased(keycode);
    }
}

PressElsewhere X11Keyboard::PressedElsewhere(std::uint8_t virtualKey) {
    FollowKeyboardChanges();
    const std::uint8_t keycode = mPressedKeycode[virtualKey];
    return keycode == 0 ? PressElsewhere::None : std::exchange(mPressedByOthers[keycode], PressElsewhere::None);
}

std::int32_t X11Keyboard::RepeatDelay() {
    if (!mHasXkb) {
        return 0;
    }
    auto controls = Owned(xcb_xkb_get_controls_reply(
        mConnection, xcb_xkb_get_controls(mConnection, XCB_XKB_ID_USE_CORE_KBD), nullptr));
    return controls ? controls->repeatDelay : 0;
}

std::int16_t X11Keyboard::ScanCharacter(char16_t character) {
    FollowKeyboardChanges();
    const std::uint32_t keysym = KeysymOfCharacter(character);
    for (int keycode = mMinKeycode; keycode <= mMaxKeycode && mKeysymsPerKeycode > 0; ++keycode) {
        for (int level = 0; level < 2; ++level) {
            if (KeysymAt(keycode, level) != keysym) {
                continue;
            }
            const int virtualKey = VirtualKeyOfKey(KeysymAt(keycode, 0), static_cast<std::uint8_t>(keycode));
            if (virtualKey > 0) {
                return static_cast<std::int16_t>((level << 8) | virtualKey);
            }
        }
    }
    return -1;
}

bool X11Keyboard::IsDown(const std::uint8_t* keys, int virtualKey) {
    const auto down = [keys](std::uint8_t keycode) {
        return keycode != 0 && (keys[keycode / 8] >> (keycode % 8)) & 1;
    };
    switch (virtualKey) {
    case kShift:
        return down(KeycodeOf(160)) || down(KeycodeOf(161));
    case kControl:
        return down(KeycodeOf(162)) || down(KeycodeOf(163));
    case kAlt:
        return down(KeycodeOf(164)) || down(KeycodeOf(165));
    default:
        return down(KeycodeOf(virtualKey));
    }
}

std::int16_t X11Keyboard::GetAsyncKeyState(int virtualKey) {
    auto keymap = Owned(xcb_query_keymap_reply(mConnection, xcb_query_keymap(mConnection), nullptr));
    return keymap && IsDown(keymap->keys, virtualKey) ? kKeyDownBit : std::int16_t{0};
}

std::int16_t X11Keyboard::GetKeyState(int virtualKey) {
    std::int16_t state = GetAsyncKeyState(virtualKey);
    if (virtualKey != kCapsLock) {
        return state;
    }
    bool locked = false;
    if (mHasXkb) {
        auto xkbState = Owned(xcb_xkb_get_state_reply(
            mConnection, xcb_xkb_get_state(mConnection, XCB_XKB_ID_USE_CORE_KBD), nullptr));
        locked = xkbState && (xkbState->lockedMods & XCB_MOD_MASK_LOCK) != 0;
    } else {
        const xcb_window_t root = RootWindow(mConnection);
        auto pointer =
            Owned(xcb_query_pointer_reply(mConnection, xcb_query_pointer(mConnection, root), nullptr));
        locked = pointer && (pointer->mask & XCB_MOD_MASK_LOCK) != 0;
    }
    if (locked) {
        state = static_cast<std::int16_t>(state | kKeyToggledBit);
    }
    return state;
}

// Held modifiers only: a locked one (Num Lock) changes no letter or digit key.
bool X11Keyboard::OtherModifierHeld() {
    if (!mHasXkb) {
        return false;
    }
    auto state = Owned(
        xcb_xkb_get_state_reply(mConnection, xcb_xkb_get_state(mConnection, XCB_XKB_ID_USE_CORE_KBD), nullptr));
    if (!state) {
        return false;
    }
    const unsigned held = (state->baseMods | state->latchedMods) & ~unsigned{XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK};
    return held != 0 || state->baseGroup != 0 || state->latchedGroup != 0;
}

bool X11Keyboard::IsForeground(std::uintptr_t ownWindow) {
    if (mActiveWindowAtom == XCB_NONE) {
        static const char kName[] = "_NET_ACTIVE_WINDOW";
        auto atom = Owned(xcb_intern_atom_reply(
            mConnection, xcb_intern_atom(mConnection, 1, sizeof(kName) - 1, kName), nullptr));
        if (!atom || atom->atom == XCB_NONE) {
            return false;
        }
        mActiveWindowAtom = atom->atom;
    }
    const xcb_window_t root = RootWindow(mConnection);
    const auto propertyCookie = xcb_get_property(mConnection, 0, root, mActiveWindowAtom, XCB_ATOM_WINDOW, 0, 1);
    const auto focusCookie = xcb_get_input_focus(mConnection);
    auto property = Owned(xcb_get_property_reply(mConnection, propertyCookie, nullptr));
    auto focus = Owned(xcb_get_input_focus_reply(mConnection, focusCookie, nullptr));
    if (!property || xcb_get_property_value_length(property.get()) < 4 || !focus) {
        return false;
    }
    xcb_window_t active = 0;
    std::memcpy(&active, xcb_get_property_value(property.get()), sizeof(active));
    return active != 0 && active == ownWindow && HoldsInputFocus(focus->focus, ownWindow, root);
}

// A window manager moves the server's focus first and says so in _NET_ACTIVE_WINDOW after:
// until then a key would go to the other window. The focus may be on one of the window's
// own children.
bool X11Keyboard::HoldsInputFocus(std::uint32_t focus, std::uintptr_t ownWindow, std::uint32_t root) {
    for (xcb_window_t window = focus; window != XCB_NONE && window != root;) {
        if (window == ownWindow) {
            return true;
        }
        auto tree = Owned(xcb_query_tree_reply(mConnection, xcb_query_tree(mConnection, window), nullptr));
        if (!tree) {
            return false; // PointerRoot, or a window gone meanwhile
        }
        window = tree->parent;
    }
    return false;
}

std::vector<std::uint8_t> X11Keyboard::KeysDown() {
    std::vector<std::uint8_t> down;
    auto keymap = Owned(xcb_query_keymap_reply(mConnection, xcb_query_keymap(mConnection), nullptr));
    for (int keycode = 0; keymap && keycode < 256; ++keycode) {
        if ((keymap->keys[keycode / 8] >> (keycode % 8)) & 1) {
            down.push_back(static_cast<std::uint8_t>(keycode));
        }
    }
    return down;
}

} // namespace mirvane::x11
