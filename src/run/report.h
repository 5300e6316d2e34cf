#pragma once
// Formatted writes in the printf notation, one channel at a time.
//
// The format text stands at the call site exactly as the program writes it:
//     put(s.console, "\n\n omegan1 = %14.4f rad/sec", s.omegan[0]);
// Its conversions are checked against the argument types at compile time.
// Conversions in use: %W.Pf, %W.Plf, %W.Pe, %ld, %s. Every "\n" of a format
// goes out as CR LF; numbers follow the rendering rules of number_format.h.
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "run/channel.h"

namespace pexmoor {

enum class ArgKind : unsigned char { Real, Integer, Text };

struct FormatArg {
    ArgKind kind;
    double real;
    std::int32_t integer;
    const char* text;
};

template <class T>
consteval ArgKind argKindOf()
{
    if constexpr (std::is_same_v<T, double>) {
        return ArgKind::Real;
    } else if constexpr (std::is_same_v<T, std::int32_t>) {
        return ArgKind::Integer;
    } else {
        static_assert(std::is_same_v<T, const char*> || std::is_same_v<T, char*>,
                      "formatted writes take double, std::int32_t or text");
        return ArgKind::Text;
    }
}

namespace detail {
// Called only when a format does not match its arguments: being no constant
// expression, it turns the mismatch into a compile-time error.
void formatDoesNotMatchArguments();

consteval void checkFormat(const char* f, const ArgKind* kinds, std::size_t count)
{
    std::size_t next = 0;
    for (; *f != '\0'; ++f) {
        if (*f != '%') continue;
        ++f;
        while (*f >= '0' && *f <= '9') ++f;
        if (*f == '.') {
            ++f;
            while (*f >= '0' && *f <= '9') ++f;
        }
        if (*f == 'l') ++f;
        ArgKind want;
        if (*f == 'f' || *f == 'e') {
            want = ArgKind::Real;
        } else if (*f == 'd') {
            want = ArgKind::Integer;
        } else if (*f == 's') {
            want = ArgKind::Text;
        } else {
            formatDoesNotMatchArguments();
            return;
        }
        if (next >= count || kinds[next] != want) formatDoesNotMatchArguments();
        ++next;
    }
    if (next != count) formatDoesNotMatchArguments();
}
}  // namespace detail

// A format text checked against the argument kinds K.
template <ArgKind... K>
struct Format {
    const char* text;
    consteval Format(const char* f) : text(f)
    {
        constexpr ArgKind kinds[sizeof...(K) + 1] = {K..., ArgKind::Text};
        detail::checkFormat(f, kinds, sizeof...(K));
    }
};

// Writes the format with its values to the channel; a channel that is not
// open takes nothing.
void putFormatted(Channel& c, const char* format, const FormatArg* args, std::size_t count);

inline FormatArg formatArg(double v) { return {ArgKind::Real, v, 0, nullptr}; }
inline FormatArg formatArg(std::int32_t v) { return {ArgKind::Integer, 0.0, v, nullptr}; }
inline FormatArg formatArg(const char* v) { return {ArgKind::Text, 0.0, 0, v}; }

template <class... A>
void put(Channel& c, Format<argKindOf<std::decay_t<A>>()...> format, const A&... args)
{
    const FormatArg values[sizeof...(A) + 1] = {formatArg(args)..., formatArg(0.0)};
    putFormatted(c, format.text, values, sizeof...(A));
}

}  // namespace pexmoor
