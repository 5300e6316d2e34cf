#include "platform/key_codes.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace pexmoor {

void PrintTo(const KeyRead& k, std::ostream* os)
{
    switch (k.scan) {
    case KeyScan::key: *os << "key " << k.code; break;
    case KeyScan::skip: *os << "skip"; break;
    case KeyScan::incomplete: *os << "incomplete"; break;
    }
}

namespace {

constexpr KeyRead key(int code) { return {KeyScan::key, code}; }
constexpr KeyRead skip{KeyScan::skip, 0};
constexpr KeyRead incomplete{KeyScan::incomplete, 0};

KeyRead decode(const std::string& bytes, bool inputPaused)
{
    return decodeTerminalKey({reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()}, inputPaused);
}

struct TerminalCase {
    const char* name;
    std::string bytes;
    KeyRead whileReading;  // more bytes may still come
    KeyRead afterPause;    // nothing more came within the pause
};

TEST(TerminalKeyCodes, BytesFromTheTerminal)
{
    const TerminalCase cases[] = {
        {"letter", "a", key(97), key(97)},
        {"capital", "Z", key(90), key(90)},
        {"space", " ", key(32), key(32)},
        {"Enter sends CR", "\r", key(13), key(13)},
        {"LF is Ctrl+J", "\n", key(10), key(10)},
        {"Ctrl+C", "\x03", key(3), key(3)},
        {"Tab", "\t", key(9), key(9)},
        {"Backspace as DEL", "\x7f", key(127), key(127)},
        {"Ctrl+Space NUL", std::string(1, '\0'), key(0), key(0)},

        {"Esc alone", "\x1b", incomplete, key(27)},
        {"Alt+x", "\x1bx", key(120), key(120)},
        {"Alt+Enter", "\x1b\r", key(13), key(13)},
        {"Alt+e acute", "\x1b\xc3\xa9", key(233), key(233)},
        {"Alt+[", "\x1b[", incomplete, key('[')},
        {"Alt+O", "\x1bO", incomplete, key('O')},
        {"Esc twice", "\x1b\x1b", incomplete, key(27)},
        {"Alt+Up with Esc prefix", "\x1b\x1b[A", key(224), key(224)},

        {"Up", "\x1b[A", key(224), key(224)},
        {"Left", "\x1b[D", key(224), key(224)},
        {"Down, application mode", "\x1bOB", key(224), key(224)},
        {"Ctrl+Up", "\x1b[1;5A", key(224), key(224)},
        {"Shift+Right", "\x1b[1;2C", key(224), key(224)},
        {"rxvt Shift+Up", "\x1b[a", key(224), key(224)},
        {"rxvt Ctrl+Right", "\x1bOc", key(224), key(224)},
        {"Home CSI", "\x1b[H", key(224), key(224)},
        {"End CSI", "\x1b[F", key(224), key(224)},
        {"Home SS3", "\x1bOH", key(224), key(224)},
        {"End SS3", "\x1bOF", key(224), key(224)},
        {"Home vt220", "\x1b[1~", key(224), key(224)},
        {"End vt220", "\x1b[4~", key(224), key(224)},
        {"Home rxvt", "\x1b[7~", key(224), key(224)},
        {"End rxvt", "\x1b[8~", key(224), key(224)},
        {"Ctrl+Home", "\x1b[1;5H", key(224), key(224)},
        {"Insert", "\x1b[2~", key(224), key(224)},
        {"Delete", "\x1b[3~", key(224), key(224)},
        {"Page Up", "\x1b[5~", key(224), key(224)},
        {"Page Down", "\x1b[6~", key(224), key(224)},
        {"Ctrl+Delete", "\x1b[3;5~", key(224), key(224)},
        {"Shift+Page Up", "\x1b[5;2~", key(224), key(224)},
        {"rxvt Ctrl+Delete", "\x1b[3^", key(224), key(224)},
        {"rxvt Shift+Insert", "\x1b[2$", key(224), key(224)},

        {"F1 SS3", "\x1bOP", key(0), key(0)},
        {"F4 SS3", "\x1bOS", key(0), key(0)},
        {"F1 vt220", "\x1b[11~", key(0), key(0)},
        {"F5", "\x1b[15~", key(0), key(0)},
        {"F6", "\x1b[17~", key(0), key(0)},
        {"F10", "\x1b[21~", key(0), key(0)},
        {"F11", "\x1b[23~", key(0), key(0)},
        {"F12", "\x1b[24~", key(0), key(0)},
        {"Shift+F1", "\x1b[1;2P", key(0), key(0)},
        {"Ctrl+F5", "\x1b[15;5~", key(0), key(0)},
        {"Shift+F1 old xterm", "\x1bO2P", key(0), key(0)},
        {"rxvt Shift+F11", "\x1b[23$", key(0), key(0)},
        {"linux console F1", "\x1b[[A", key(0), key(0)},
        {"linux console F5", "\x1b[[E", key(0), key(0)},

        {"keypad 5 SS3", "\x1bOE", key(0), key(0)},
        {"keypad 5 CSI", "\x1b[E", key(0), key(0)},
        {"keypad 5 linux console", "\x1b[G", key(0), key(0)},
        {"keypad Enter, application mode", "\x1bOM", key(13), key(13)},
        {"keypad 0, application mode", "\x1bOp", key('0'), key('0')},
        {"keypad 9, application mode", "\x1bOy", key('9'), key('9')},
        {"keypad +, application mode", "\x1bOk", key('+'), key('+')},
        {"keypad =, application mode", "\x1bOX", key('='), key('=')},
        {"Shift+Tab", "\x1b[Z", key(9), key(9)},

        {"focus in", "\x1b[I", skip, skip},
        {"focus out", "\x1b[O", skip, skip},
        {"X10 mouse", "\x1b[M !!", skip, skip},
        {"X10 mouse, high bytes", "\x1b[M\xe0\xff\xc3", skip, skip},
        {"SGR mouse press", "\x1b[<0;10;20M", skip, skip},
        {"SGR mouse release", "\x1b[<0;10;20m", skip, skip},
        {"urxvt mouse", "\x1b[32;10;20M", skip, skip},
        {"paste bracket", "\x1b[200~", skip, skip},
        {"unknown numbered key", "\x1b[99~", skip, skip},
        {"device attributes reply", "\x1b[?1;2c", skip, skip},
        {"unknown SS3", "\x1bOz", skip, skip},
        {"control byte breaks a sequence", "\x1b[1\x03", skip, skip},

        {"CSI cut off", "\x1b[1;5", incomplete, skip},
        {"X10 mouse cut off", "\x1b[M!", incomplete, skip},
        {"SGR mouse cut off", "\x1b[<0;1", incomplete, skip},
        {"linux console F key cut off", "\x1b[[", incomplete, skip},
        {"SS3 cut off", "\x1bO5", incomplete, skip},

        {"e acute", "\xc3\xa9", key(233), key(233)},
        {"no-break space", "\xc2\xa0", key(160), key(160)},
        {"A macron U+0100", "\xc4\x80", key(0xC4), key(0xC4)},
        {"euro sign", "\xe2\x82\xac", key(0xE2), key(0xE2)},
        {"emoji", "\xf0\x9f\x98\x80", key(0xF0), key(0xF0)},
        {"UTF-8 lead byte alone", "\xc3", incomplete, key(0xC3)},
        {"UTF-8 cut off", "\xe2\x82", incomplete, key(0xE2)},
        {"stray continuation byte", "\xa9", key(0xA9), key(0xA9)},
        {"lead byte then ASCII", "\xc3" "A", key(0xC3), key(0xC3)},
        {"overlong lead byte", "\xc1", key(0xC1), key(0xC1)},
        {"overlong e acute", "\xe0\x83\xa9", key(0xE0), key(0xE0)},
        {"byte 255", "\xff", key(255), key(255)},
    };
    for (const TerminalCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decode(c.bytes, false), c.whileReading);
        EXPECT_EQ(decode(c.bytes, true), c.afterPause);
        // Read byte by byte, a key must not end before its last byte.
        for (std::size_t n = 1; n < c.bytes.size(); ++n) {
            EXPECT_EQ(decode(c.bytes.substr(0, n), false), incomplete) << "after " << n << " bytes";
        }
    }
}

struct ConsoleCase {
    const char* name;
    ConsoleKeyEvent event;
    KeyRead expected;
};

// Windows virtual-key codes.
constexpr std::uint16_t vkBack = 0x08, vkClear = 0x0C, vkReturn = 0x0D, vkShift = 0x10, vkControl = 0x11,
                        vkMenu = 0x12, vkPause = 0x13, vkCapital = 0x14, vkEscape = 0x1B, vkSpace = 0x20,
                        vkPrior = 0x21, vkNext = 0x22, vkEnd = 0x23, vkHome = 0x24, vkLeft = 0x25, vkUp = 0x26,
                        vkInsert = 0x2D, vkDelete = 0x2E, vkA = 0x41, vkC = 0x43, vkE = 0x45, vkLWin = 0x5B,
                        vkApps = 0x5D, vkNumpad7 = 0x67, vkF1 = 0x70, vkF12 = 0x7B, vkF24 = 0x87,
                        vkNumLock = 0x90, vkRShift = 0xA1, vkOem = 0xDE;

constexpr ConsoleKeyEvent down(std::uint16_t vk, char16_t ch, bool enhanced = false)
{
    return {true, vk, ch, enhanced};
}

TEST(ConsoleKeyCodes, KeyEvents)
{
    const ConsoleCase cases[] = {
        {"release of a", {false, vkA, u'a', false}, skip},
        {"Shift alone", down(vkShift, 0), skip},
        {"right Shift alone", down(vkRShift, 0), skip},
        {"Ctrl alone", down(vkControl, 0), skip},
        {"Alt alone", down(vkMenu, 0), skip},
        {"CapsLock", down(vkCapital, 0), skip},
        {"NumLock", down(vkNumLock, 0, true), skip},
        {"Windows key", down(vkLWin, 0, true), skip},
        {"Pause", down(vkPause, 0), skip},
        {"Apps", down(vkApps, 0, true), skip},

        {"a", down(vkA, u'a'), key(97)},
        {"Shift+a", down(vkA, u'A'), key(65)},
        {"space", down(vkSpace, u' '), key(32)},
        {"Enter", down(vkReturn, u'\r'), key(13)},
        {"keypad Enter", down(vkReturn, u'\r', true), key(13)},
        {"Esc", down(vkEscape, 0x1B), key(27)},
        {"Esc without its character", down(vkEscape, 0), key(27)},
        {"Ctrl+C", down(vkC, 0x03), key(3)},
        {"Backspace", down(vkBack, 0x08), key(8)},
        {"keypad 7 with NumLock", down(vkNumpad7, u'7'), key(55)},
        {"e acute", down(vkOem, u'\u00e9'), key(233)},
        {"euro sign", down(vkE, u'\u20ac'), key(0xE2)},
        {"A macron", down(vkA, u'\u0100'), key(0xC4)},
        {"emoji, high surrogate", down(0, 0xD83D), key(0xF0)},

        {"Up", down(vkUp, 0, true), key(224)},
        {"Left", down(vkLeft, 0, true), key(224)},
        {"Insert", down(vkInsert, 0, true), key(224)},
        {"Delete", down(vkDelete, 0, true), key(224)},
        {"Home", down(vkHome, 0, true), key(224)},
        {"End", down(vkEnd, 0, true), key(224)},
        {"Page Up", down(vkPrior, 0, true), key(224)},
        {"Page Down", down(vkNext, 0, true), key(224)},

        {"keypad Up without NumLock", down(vkUp, 0), key(0)},
        {"keypad Delete without NumLock", down(vkDelete, 0), key(0)},
        {"keypad 5 without NumLock", down(vkClear, 0), key(0)},
        {"F1", down(vkF1, 0), key(0)},
        {"F12", down(vkF12, 0), key(0)},
        {"F24", down(vkF24, 0), key(0)},
    };
    for (const ConsoleCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decodeConsoleKey(c.event), c.expected);
    }
}

}  // namespace
}  // namespace pexmoor
