// The key wait in a Windows console: one key press from the console input
// itself (CONIN$), never from standard input, with line input, echo and
// Ctrl+C processing off for the wait.
#include "platform/key_wait.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#ifndef ENABLE_VIRTUAL_TERMINAL_INPUT
#define ENABLE_VIRTUAL_TERMINAL_INPUT 0x0200
#endif

#include "platform/key_codes.h"

namespace pexmoor {

namespace {

// Line input and echo off so one key counts; processed input off so Ctrl+C
// arrives as the key 3; terminal-style input off so that the cursor and
// function keys come as key events, not as escape sequences.
constexpr DWORD kCookedBits =
    ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT | ENABLE_VIRTUAL_TERMINAL_INPUT;

ConsoleKeyEvent portable(const KEY_EVENT_RECORD& k)
{
    ConsoleKeyEvent event;
    event.keyDown = k.bKeyDown != FALSE;
    event.virtualKey = k.wVirtualKeyCode;
    event.character = static_cast<char16_t>(k.uChar.UnicodeChar);
    event.enhanced = (k.dwControlKeyState & ENHANCED_KEY) != 0;
    return event;
}

// Reads events until one is a key press with a code; -1 when reading fails.
int readKey(HANDLE input)
{
    for (;;) {
        INPUT_RECORD record;
        DWORD count = 0;
        if (!ReadConsoleInputW(input, &record, 1, &count)) return -1;
        if (count == 0 || record.EventType != KEY_EVENT) continue;  // mouse, focus, window size, menu
        KeyRead key = decodeConsoleKey(portable(record.Event.KeyEvent));
        if (key.scan == KeyScan::key) return key.code;
    }
}

}  // namespace

int waitForKey()
{
    HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE) return -1;  // no console
    DWORD saved = 0;
    int key = -1;
    if (GetConsoleMode(input, &saved) && SetConsoleMode(input, saved & ~kCookedBits)) {
        key = readKey(input);
        SetConsoleMode(input, saved);
    }
    CloseHandle(input);
    return key;
}

}  // namespace pexmoor
