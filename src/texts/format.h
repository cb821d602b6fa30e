#pragma once
// Typed formatting of the program's printf-style texts.
//
// The format is always one of the program's own texts; the arguments are typed values
// that are never read as a format themselves, so a host name or a service text that
// contains "%s" or "%n" is printed as it stands. The format walker understands the
// conversions d i u o x X c s f F e E g G a A % with the flags - + blank # 0, a width
// and a precision (digits or *), and accepts and ignores the length modifiers hh h l ll
// L q j z t I I32 I64 (h and hh cut integers to 16 and 8 bits as printf does).
//
// Arguments that do not fit the conversion are still printed safely:
// - an argument that is missing prints nothing (and takes no width);
// - a text given to a number conversion is printed as text;
// - a number given to %s is printed in decimal (floating point as %g);
// - a floating value given to an integer conversion is cut towards zero;
// - a negative integer given to %u %o %x %X shows its two's complement in the
//   argument's own width, as printf does for an int;
// - %n prints nothing and only uses up its argument; an unknown conversion is
//   copied into the result as it stands.
// Widths and precisions are limited to kMaxFormatWidth.

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "texts/strings.h"

namespace veltrix {

inline constexpr int kMaxFormatWidth = 1024;

// One typed argument of a format. Text arguments only refer to their characters; the
// argument must outlive the formatting call (Format guarantees that).
struct FormatArg {
    enum class Kind : std::uint8_t { Signed, Unsigned, Floating, Char, Text };

    Kind kind = Kind::Text;
    std::uint8_t bytes = 0;  // size of an integer argument
    std::int64_t i = 0;
    std::uint64_t u = 0;
    double f = 0.0;
    char c = 0;
    std::string_view text;

    static FormatArg Signed(std::int64_t value, std::size_t bytes) {
        FormatArg arg;
        arg.kind = Kind::Signed;
        arg.i = value;
        arg.bytes = static_cast<std::uint8_t>(bytes);
        return arg;
    }
    static FormatArg Unsigned(std::uint64_t value, std::size_t bytes) {
        FormatArg arg;
        arg.kind = Kind::Unsigned;
        arg.u = value;
        arg.bytes = static_cast<std::uint8_t>(bytes);
        return arg;
    }
    static FormatArg Floating(double value) {
        FormatArg arg;
        arg.kind = Kind::Floating;
        arg.f = value;
        return arg;
    }
    static FormatArg Character(char value) {
        FormatArg arg;
        arg.kind = Kind::Char;
        arg.c = value;
        return arg;
    }
    static FormatArg Text(std::string_view value) {
        FormatArg arg;
        arg.kind = Kind::Text;
        arg.text = value;
        return arg;
    }
};

// Formats `format` with already typed arguments.
std::string FormatArgs(std::string_view format, std::span<const FormatArg> args);

namespace format_detail {

template <typename T>
inline constexpr bool kIsCharacterType = std::is_same_v<T, wchar_t> || std::is_same_v<T, char8_t> ||
                                         std::is_same_v<T, char16_t> || std::is_same_v<T, char32_t>;

template <typename T>
inline constexpr bool kAlwaysFalse = false;

template <typename T>
FormatArg MakeArg(const T& value) {
    using V = std::remove_cv_t<T>;
    if constexpr (std::is_same_v<V, bool>) {
        return FormatArg::Unsigned(value ? 1U : 0U, sizeof(int));
    } else if constexpr (std::is_same_v<V, char>) {
        return FormatArg::Character(value);
    } else if constexpr (kIsCharacterType<V>) {
        static_assert(kAlwaysFalse<V>, "wide characters cannot be formatted");
        return {};
    } else if constexpr (std::is_enum_v<V>) {
        return MakeArg(static_cast<std::underlying_type_t<V>>(value));
    } else if constexpr (std::signed_integral<V>) {
        return FormatArg::Signed(static_cast<std::int64_t>(value), sizeof(V));
    } else if constexpr (std::unsigned_integral<V>) {
        return FormatArg::Unsigned(static_cast<std::uint64_t>(value), sizeof(V));
    } else if constexpr (std::floating_point<V>) {
        return FormatArg::Floating(static_cast<double>(value));
    } else if constexpr (std::is_array_v<V> &&
                         std::is_same_v<std::remove_cv_t<std::remove_extent_t<V>>, char>) {
        // A fixed character field: up to its first NUL, never beyond its end.
        const std::string_view all(value, std::extent_v<V>);
        return FormatArg::Text(all.substr(0, all.find('\0')));
    } else if constexpr (std::is_same_v<V, const char*> || std::is_same_v<V, char*>) {
        return FormatArg::Text(value == nullptr ? std::string_view{} : std::string_view{value});
    } else if constexpr (std::is_convertible_v<const V&, std::string_view>) {
        return FormatArg::Text(std::string_view(value));
    } else {
        static_assert(kAlwaysFalse<V>, "type cannot be formatted");
        return {};
    }
}

}  // namespace format_detail

// Formats `format` printf-style with typed arguments.
template <typename... Args>
std::string Format(std::string_view format, const Args&... args) {
    const std::array<FormatArg, sizeof...(Args)> typed{format_detail::MakeArg(args)...};
    return FormatArgs(format, typed);
}

// Format(LoadString(id), args...) in the program's language, or in `language`.
template <typename... Args>
std::string FormatString(int id, const Args&... args) {
    return Format(LoadString(id), args...);
}

template <typename... Args>
std::string FormatString(Language language, int id, const Args&... args) {
    return Format(LoadString(id, language), args...);
}

}  // namespace veltrix
