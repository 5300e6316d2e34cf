#pragma once
// Key codes of the final key wait, worked out from what a terminal sends or
// from one Windows console key event. Pure functions: the platform files do
// the reading and ask here what a key press amounts to.
//
// The codes are those of a Windows console: a key that yields a character
// gives its code (1..255), a key of the cursor and editing block gives 224,
// a function key or a keypad key without a digit gives 0.
#include <cstdint>
#include <span>

namespace pexmoor {

inline constexpr int kCursorBlockKey = 224;  // arrows, Insert, Delete, Home, End, Page Up, Page Down
inline constexpr int kFunctionKey = 0;       // F1..F24 and keypad keys that yield no digit

enum class KeyScan {
    key,         // a key press; `code` holds its key code
    skip,        // no key press (release, modifier alone, focus or mouse report, unknown sequence)
    incomplete,  // the start of a longer sequence: read on
};

struct KeyRead {
    KeyScan scan = KeyScan::skip;
    int code = 0;  // meaningful for KeyScan::key only
    bool operator==(const KeyRead&) const = default;
};

// What the bytes read from a terminal so far amount to. `bytes` holds one
// key's bytes from its first byte on (not empty). `inputPaused` tells that no
// further byte came within the pause after the last one: a prefix is then
// taken for what it is on its own (a lone Esc is the Esc key) and the result
// is never `incomplete`.
//
//   printable and control bytes    the byte itself: CR 13 (Enter), LF 10
//                                  (Ctrl+J), DEL 127, NUL 0 (Ctrl+Space)
//   UTF-8 character                its code point when at most 255, else its
//                                  first byte; an invalid sequence: its first byte
//   ESC alone                      27
//   ESC + key (Alt+key)            the key's own code: Alt+a 97, Alt+Up 224
//   cursor and editing block       224 (CSI and SS3 forms, any modifiers)
//   F1..F20, keypad 5 (no digit)   0
//   keypad in application mode     the key's character: Enter 13, 7 '7', + '+'
//   Shift+Tab (CSI Z)              9, the Tab it is
//   focus and mouse reports        skipped
//   any other complete sequence    skipped
//   a sequence cut off by a pause  skipped; ESC [ and ESC O alone are Alt+[ and Alt+O
KeyRead decodeTerminalKey(std::span<const unsigned char> bytes, bool inputPaused);

// One Windows console key event (KEY_EVENT_RECORD), in portable form.
struct ConsoleKeyEvent {
    bool keyDown = true;
    std::uint16_t virtualKey = 0;  // wVirtualKeyCode
    char16_t character = 0;        // uChar.UnicodeChar, 0 when the key yields none
    bool enhanced = false;         // ENHANCED_KEY: the separate block, not the keypad
};

// What one console key event amounts to: releases and modifier or lock keys
// alone are skipped; a character up to 255 gives its code, a character above
// 255 the first byte of its UTF-8 form (as on a UTF-8 terminal); the cursor
// and editing block 224, the same keys on the keypad without NumLock, keypad
// 5 and F1..F24 give 0; any other key without a character is skipped.
KeyRead decodeConsoleKey(const ConsoleKeyEvent& event);

}  // namespace pexmoor
