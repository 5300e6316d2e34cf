#include "platform/key_codes.h"

#include <cstddef>
#include <cstdint>

namespace pexmoor {

namespace {

using Bytes = std::span<const unsigned char>;

constexpr unsigned char kEsc = 0x1B;
constexpr KeyRead kSkip{KeyScan::skip, 0};
constexpr KeyRead kIncomplete{KeyScan::incomplete, 0};

constexpr KeyRead keyCode(int code) { return {KeyScan::key, code}; }

// A sequence that ran out of bytes: wait for more, unless the input has
// paused, in which case the fragment is dropped.
constexpr KeyRead cutOff(bool inputPaused) { return inputPaused ? kSkip : kIncomplete; }

// How many continuation bytes a UTF-8 lead byte announces; -1 for a byte
// that cannot start a character (ASCII is handled before).
int continuationCount(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF) return 1;
    if (lead >= 0xE0 && lead <= 0xEF) return 2;
    if (lead >= 0xF0 && lead <= 0xF4) return 3;
    return -1;
}

// One character: a single byte, or a UTF-8 sequence. Only two-byte sequences
// can hold a code point up to 255; everything else (a longer character, an
// overlong form, a broken sequence) gives its first byte.
KeyRead decodeCharacter(Bytes bytes, bool inputPaused)
{
    unsigned char lead = bytes[0];
    int continuations = lead < 0x80 ? 0 : continuationCount(lead);
    if (continuations <= 0) return keyCode(lead);
    std::uint32_t codePoint = lead & (0x3Fu >> continuations);
    for (int i = 1; i <= continuations; ++i) {
        if (static_cast<std::size_t>(i) >= bytes.size()) return inputPaused ? keyCode(lead) : kIncomplete;
        unsigned char next = bytes[static_cast<std::size_t>(i)];
        if ((next & 0xC0) != 0x80) return keyCode(lead);
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    return keyCode(continuations == 1 && codePoint <= 0xFF ? static_cast<int>(codePoint) : lead);
}

int leadingNumber(Bytes params)
{
    int n = -1;
    for (unsigned char b : params) {
        if (b < '0' || b > '9') break;
        n = (n < 0 ? 0 : n * 10) + (b - '0');
        if (n > 9999) break;  // no key number is that long
    }
    return n;
}

// ESC [ n ~ and the rxvt forms with ^ $ @ for the modifiers.
KeyRead numberedKey(int n)
{
    if (n >= 1 && n <= 8) return keyCode(kCursorBlockKey);  // Home Insert Delete End PgUp PgDn, rxvt Home End
    bool function = (n >= 11 && n <= 15) || (n >= 17 && n <= 21) || (n >= 23 && n <= 26) || n == 28 ||
                    n == 29 || (n >= 31 && n <= 34);  // F1..F20
    return function ? keyCode(kFunctionKey) : kSkip;  // e.g. the 200~ 201~ paste brackets
}

KeyRead csiKey(Bytes params, unsigned char final)
{
    // Private markers ('<' SGR mouse, '?' '>' '=' replies) never come from a key.
    if (!params.empty() && params[0] >= '<' && params[0] <= '?') return kSkip;
    switch (final) {
    case 'A': case 'B': case 'C': case 'D':  // arrows, with or without modifiers
    case 'H': case 'F':                      // Home, End
    case 'a': case 'b': case 'c': case 'd':  // rxvt Shift+arrows
        return keyCode(kCursorBlockKey);
    case 'P': case 'Q': case 'R': case 'S':  // F1..F4 with modifiers
    case 'E': case 'G':                      // keypad 5 without NumLock
        return keyCode(kFunctionKey);
    case 'Z':  // Shift+Tab
        return keyCode('\t');
    case '~': case '^': case '$': case '@':
        return numberedKey(leadingNumber(params));
    default:  // focus reports I and O, urxvt mouse reports ...M, unknown sequences
        return kSkip;
    }
}

KeyRead ss3Key(unsigned char final)
{
    switch (final) {
    case 'A': case 'B': case 'C': case 'D': case 'H': case 'F':
    case 'a': case 'b': case 'c': case 'd':  // rxvt Ctrl+arrows
        return keyCode(kCursorBlockKey);
    case 'P': case 'Q': case 'R': case 'S':  // F1..F4
    case 'E':                                // keypad 5 without NumLock
        return keyCode(kFunctionKey);
    case 'X':  // keypad = in application mode
        return keyCode('=');
    default:
        break;
    }
    // The keypad in application mode sends its character plus 0x40:
    // I Tab, M Enter, j..y the keys * + , - . / 0..9.
    if (final == 'I' || final == 'M' || (final >= 'j' && final <= 'y')) return keyCode(final - 0x40);
    return kSkip;
}

// The body of a control sequence after ESC [ or ESC O: parameter bytes, then
// intermediate bytes, then one final byte. Returns the offset of the final
// byte, or -1 when the body stops early, or -2 when a byte breaks the form.
// rxvt ends its Shift+key sequences with '$', otherwise an intermediate byte.
std::ptrdiff_t finalByteAt(Bytes body, bool dollarEnds)
{
    for (std::size_t i = 0; i < body.size(); ++i) {
        unsigned char b = body[i];
        if ((b >= 0x40 && b <= 0x7E) || (dollarEnds && b == '$')) return static_cast<std::ptrdiff_t>(i);
        if (b < 0x20 || b > 0x3F) return -2;
    }
    return -1;
}

KeyRead decodeCsi(Bytes body, bool inputPaused)
{
    if (body[0] == '[') {  // linux console F1..F5: ESC [ [ A..E
        if (body.size() < 2) return cutOff(inputPaused);
        return body[1] >= 'A' && body[1] <= 'E' ? keyCode(kFunctionKey) : kSkip;
    }
    if (body[0] == 'M') {  // X10 mouse report: three raw bytes follow
        return body.size() < 4 ? cutOff(inputPaused) : kSkip;
    }
    std::ptrdiff_t at = finalByteAt(body, true);
    if (at == -1) return cutOff(inputPaused);
    if (at < 0) return kSkip;
    auto end = static_cast<std::size_t>(at);
    return csiKey(body.first(end), body[end]);
}

KeyRead decodeSs3(Bytes body, bool inputPaused)
{
    std::ptrdiff_t at = finalByteAt(body, false);
    if (at == -1) return cutOff(inputPaused);
    if (at < 0) return kSkip;
    return ss3Key(body[static_cast<std::size_t>(at)]);
}

// Bytes that start with ESC: the Esc key, a control sequence, or Alt+key as
// ESC followed by the key (one Alt prefix only).
KeyRead decodeEscape(Bytes bytes, bool inputPaused, bool altPrefixAllowed)
{
    if (bytes.size() == 1) return inputPaused ? keyCode(kEsc) : kIncomplete;
    unsigned char intro = bytes[1];
    if (intro == '[' || intro == 'O') {
        // ESC [ or ESC O with nothing after it is Alt+[ or Alt+O.
        if (bytes.size() == 2) return inputPaused ? keyCode(intro) : kIncomplete;
        return intro == '[' ? decodeCsi(bytes.subspan(2), inputPaused) : decodeSs3(bytes.subspan(2), inputPaused);
    }
    if (!altPrefixAllowed) return keyCode(kEsc);
    if (intro == kEsc) return decodeEscape(bytes.subspan(1), inputPaused, false);
    return decodeCharacter(bytes.subspan(1), inputPaused);
}

// The first UTF-8 byte of a UTF-16 unit above 255; a high surrogate already
// fixes the first byte of the character it starts.
int firstUtf8Byte(char16_t unit)
{
    std::uint32_t u = unit;
    if (u < 0x800) return static_cast<int>(0xC0 | (u >> 6));
    if (u >= 0xD800 && u <= 0xDBFF) return static_cast<int>(0xF0 | ((0x10000 + ((u - 0xD800) << 10)) >> 18));
    return static_cast<int>(0xE0 | (u >> 12));
}

// Windows virtual-key codes used here.
constexpr std::uint16_t kVkClear = 0x0C, kVkEscape = 0x1B, kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12,
                        kVkCapital = 0x14, kVkPrior = 0x21, kVkDown = 0x28, kVkInsert = 0x2D,
                        kVkDelete = 0x2E, kVkLWin = 0x5B, kVkRWin = 0x5C, kVkF1 = 0x70, kVkF24 = 0x87,
                        kVkNumLock = 0x90, kVkScroll = 0x91, kVkLShift = 0xA0, kVkRMenu = 0xA5;

bool isModifierOrLock(std::uint16_t vk)
{
    return vk == kVkShift || vk == kVkControl || vk == kVkMenu || vk == kVkCapital || vk == kVkLWin ||
           vk == kVkRWin || vk == kVkNumLock || vk == kVkScroll || (vk >= kVkLShift && vk <= kVkRMenu);
}

}  // namespace

KeyRead decodeTerminalKey(Bytes bytes, bool inputPaused)
{
    if (bytes.empty()) return cutOff(inputPaused);
    if (bytes[0] == kEsc) return decodeEscape(bytes, inputPaused, true);
    return decodeCharacter(bytes, inputPaused);
}

KeyRead decodeConsoleKey(const ConsoleKeyEvent& event)
{
    if (!event.keyDown || isModifierOrLock(event.virtualKey)) return kSkip;
    if (event.character != 0) {
        return keyCode(event.character <= 0xFF ? static_cast<int>(event.character) : firstUtf8Byte(event.character));
    }
    std::uint16_t vk = event.virtualKey;
    if (vk == kVkEscape) return keyCode(kEsc);  // consoles fed by a terminal may leave its character out
    if ((vk >= kVkPrior && vk <= kVkDown) || vk == kVkInsert || vk == kVkDelete) {
        // The separate block is flagged enhanced; the same keys on the keypad
        // (NumLock off) are not, and count as keypad keys without a digit.
        return keyCode(event.enhanced ? kCursorBlockKey : kFunctionKey);
    }
    if (vk == kVkClear || (vk >= kVkF1 && vk <= kVkF24)) return keyCode(kFunctionKey);
    return kSkip;  // Pause, Apps, media and IME keys, digits with Alt held
}

}  // namespace pexmoor
