#include "texts/format.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace veltrix {
namespace {

enum class LengthModifier { None, Char, Short, Other };

struct Spec {
    bool leftAlign = false;
    bool plus = false;
    bool blank = false;
    bool alternate = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1;  // -1: none
    LengthModifier length = LengthModifier::None;
    char conversion = 0;
};

// Renders one value with the C library, from a conversion that this file builds itself
// from the parsed flags, width and precision; `conversion` is one letter the walker
// has checked and `value` has the type that conversion needs.
template <typename T>
std::string CFormat(const Spec& spec, const char* lengthPrefix, char conversion, T value) {
    std::string pattern = "%";
    if (spec.leftAlign)
        pattern += '-';
    if (spec.plus)
        pattern += '+';
    if (spec.blank)
        pattern += ' ';
    if (spec.alternate)
        pattern += '#';
    if (spec.zeroPad)
        pattern += '0';
    if (spec.width > 0)
        pattern += std::to_string(spec.width);
    if (spec.precision >= 0) {
        pattern += '.';
        pattern += std::to_string(spec.precision);
    }
    pattern += lengthPrefix;
    pattern += conversion;

    const int size = std::snprintf(nullptr, 0, pattern.c_str(), value);
    if (size <= 0) {
        return {};
    }
    std::string out(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(out.data(), out.size(), pattern.c_str(), value);
    out.resize(static_cast<std::size_t>(size));
    return out;
}

// Text with the width (blank padded) and the precision (cut) of the conversion.
std::string PadText(const Spec& spec, std::string_view text) {
    if (spec.precision >= 0 && text.size() > static_cast<std::size_t>(spec.precision)) {
        text = text.substr(0, static_cast<std::size_t>(spec.precision));
    }
    std::string out;
    const std::size_t width = static_cast<std::size_t>(spec.width);
    const std::size_t pad = text.size() < width ? width - text.size() : 0;
    if (!spec.leftAlign)
        out.append(pad, ' ');
    out.append(text);
    if (spec.leftAlign)
        out.append(pad, ' ');
    return out;
}

// A text given where a number was expected: the whole text, with the width only.
std::string TextForNumber(Spec spec, std::string_view text) {
    spec.precision = -1;
    return PadText(spec, text);
}

std::int64_t TruncateToSigned(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double kMin = -9223372036854775808.0;  // -2^63
    if (value <= kMin)
        return std::numeric_limits<std::int64_t>::min();
    if (value >= -kMin)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(value);
}

std::uint64_t TruncateToUnsigned(double value) {
    if (std::isnan(value))
        return 0;
    if (value < 0.0)
        return static_cast<std::uint64_t>(TruncateToSigned(value));
    constexpr double kLimit = 18446744073709551616.0;  // 2^64
    if (value >= kLimit)
        return std::numeric_limits<std::uint64_t>::max();
    return static_cast<std::uint64_t>(value);
}

// The bits of a signed value in an unsigned of `bytes` bytes (two's complement).
std::uint64_t AsUnsigned(std::int64_t value, std::size_t bytes) {
    const auto bits = static_cast<std::uint64_t>(value);
    if (bytes == 0 || bytes >= 8)
        return bits;
    return bits & ((std::uint64_t{1} << (bytes * 8)) - 1);
}

// A decimal conversion without flags, width or precision: the common "%d", which needs
// no pattern for the C library.
bool IsPlainDecimal(const Spec& spec, char conversion) {
    return (conversion == 'd' || conversion == 'i' || conversion == 'u') && !spec.leftAlign &&
           !spec.plus && !spec.blank && !spec.alternate && !spec.zeroPad && spec.width == 0 &&
           spec.precision < 0;
}

std::string FormatSigned(const Spec& spec, std::int64_t value) {
    if (spec.length == LengthModifier::Short)
        value = static_cast<std::int16_t>(value);
    if (spec.length == LengthModifier::Char)
        value = static_cast<std::int8_t>(value);
    if (IsPlainDecimal(spec, spec.conversion))
        return std::to_string(value);
    return CFormat(spec, "ll", spec.conversion, static_cast<long long>(value));
}

std::string FormatUnsigned(const Spec& spec, char conversion, std::uint64_t value) {
    if (spec.length == LengthModifier::Short)
        value = static_cast<std::uint16_t>(value);
    if (spec.length == LengthModifier::Char)
        value = static_cast<std::uint8_t>(value);
    if (IsPlainDecimal(spec, conversion))
        return std::to_string(value);
    return CFormat(spec, "ll", conversion, static_cast<unsigned long long>(value));
}

std::string NumberAsText(const FormatArg& arg) {
    switch (arg.kind) {
        case FormatArg::Kind::Signed:
            return std::to_string(arg.i);
        case FormatArg::Kind::Unsigned:
            return std::to_string(arg.u);
        case FormatArg::Kind::Floating:
            return CFormat(Spec{}, "", 'g', arg.f);
        case FormatArg::Kind::Char:
            return arg.c == '\0' ? std::string{} : std::string(1, arg.c);
        case FormatArg::Kind::Text:
            return std::string(arg.text);
    }
    return {};
}

std::string ConvertSigned(const Spec& spec, const FormatArg& arg) {
    switch (arg.kind) {
        case FormatArg::Kind::Signed:
            return FormatSigned(spec, arg.i);
        case FormatArg::Kind::Unsigned:
            if (arg.u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                return FormatUnsigned(spec, 'u', arg.u);
            }
            return FormatSigned(spec, static_cast<std::int64_t>(arg.u));
        case FormatArg::Kind::Floating:
            return FormatSigned(spec, TruncateToSigned(arg.f));
        case FormatArg::Kind::Char:
            return FormatSigned(spec, static_cast<unsigned char>(arg.c));
        case FormatArg::Kind::Text:
            return TextForNumber(spec, arg.text);
    }
    return {};
}

std::string ConvertUnsigned(const Spec& spec, const FormatArg& arg) {
    switch (arg.kind) {
        case FormatArg::Kind::Signed:
            return FormatUnsigned(spec, spec.conversion, AsUnsigned(arg.i, arg.bytes));
        case FormatArg::Kind::Unsigned:
            return FormatUnsigned(spec, spec.conversion, arg.u);
        case FormatArg::Kind::Floating:
            return FormatUnsigned(spec, spec.conversion, TruncateToUnsigned(arg.f));
        case FormatArg::Kind::Char:
            return FormatUnsigned(spec, spec.conversion, static_cast<unsigned char>(arg.c));
        case FormatArg::Kind::Text:
            return TextForNumber(spec, arg.text);
    }
    return {};
}

std::string ConvertFloating(const Spec& spec, const FormatArg& arg) {
    switch (arg.kind) {
        case FormatArg::Kind::Floating:
            return CFormat(spec, "", spec.conversion, arg.f);
        case FormatArg::Kind::Signed:
            return CFormat(spec, "", spec.conversion, static_cast<double>(arg.i));
        case FormatArg::Kind::Unsigned:
            return CFormat(spec, "", spec.conversion, static_cast<double>(arg.u));
        case FormatArg::Kind::Char:
            return CFormat(spec, "", spec.conversion,
                           static_cast<double>(static_cast<unsigned char>(arg.c)));
        case FormatArg::Kind::Text:
            return TextForNumber(spec, arg.text);
    }
    return {};
}

std::string ConvertChar(const Spec& spec, const FormatArg& arg) {
    char c = 0;
    switch (arg.kind) {
        case FormatArg::Kind::Char:
            c = arg.c;
            break;
        case FormatArg::Kind::Signed:
            c = static_cast<char>(arg.i & 0xFF);
            break;
        case FormatArg::Kind::Unsigned:
            c = static_cast<char>(arg.u & 0xFF);
            break;
        case FormatArg::Kind::Floating:
            c = static_cast<char>(TruncateToSigned(arg.f) & 0xFF);
            break;
        case FormatArg::Kind::Text:
            c = arg.text.empty() ? '\0' : arg.text.front();
            break;
    }
    Spec charSpec = spec;
    charSpec.precision = -1;
    // A NUL character would end the text wherever it is shown; it is left out.
    return PadText(charSpec, c == '\0' ? std::string_view{} : std::string_view(&c, 1));
}

std::string ConvertString(const Spec& spec, const FormatArg& arg) {
    if (arg.kind == FormatArg::Kind::Text) {
        return PadText(spec, arg.text);
    }
    Spec numberSpec = spec;
    numberSpec.precision = -1;
    return PadText(numberSpec, NumberAsText(arg));
}

// Reads a decimal number of the format, limited to kMaxFormatWidth.
int ReadNumber(std::string_view format, std::size_t& pos) {
    int value = 0;
    while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') {
        value = value * 10 + (format[pos] - '0');
        if (value > kMaxFormatWidth)
            value = kMaxFormatWidth;
        ++pos;
    }
    return value;
}

// An integer argument used for a * width or precision, if there is one.
bool IntegerArg(const FormatArg* arg, long long& value) {
    if (arg == nullptr)
        return false;
    switch (arg->kind) {
        case FormatArg::Kind::Signed:
            value = arg->i;
            return true;
        case FormatArg::Kind::Unsigned:
            value = arg->u > static_cast<std::uint64_t>(kMaxFormatWidth)
                        ? kMaxFormatWidth
                        : static_cast<long long>(arg->u);
            return true;
        default:
            return false;
    }
}

int ClampWidth(long long value) {
    if (value > kMaxFormatWidth)
        return kMaxFormatWidth;
    if (value < -kMaxFormatWidth)
        return -kMaxFormatWidth;
    return static_cast<int>(value);
}

LengthModifier ReadLength(std::string_view format, std::size_t& pos) {
    auto rest = [&]() { return format.substr(pos); };
    if (rest().starts_with("hh")) {
        pos += 2;
        return LengthModifier::Char;
    }
    if (rest().starts_with("I64") || rest().starts_with("I32")) {
        pos += 3;
        return LengthModifier::Other;
    }
    if (rest().starts_with("ll")) {
        pos += 2;
        return LengthModifier::Other;
    }
    if (pos < format.size()) {
        switch (format[pos]) {
            case 'h':
                ++pos;
                return LengthModifier::Short;
            case 'l':
            case 'L':
            case 'q':
            case 'j':
            case 'z':
            case 't':
            case 'I':
                ++pos;
                return LengthModifier::Other;
            default:
                break;
        }
    }
    return LengthModifier::None;
}

// %n prints nothing; its argument is used up all the same.
std::string SkipArg(const Spec&, const FormatArg&) {
    return {};
}

using Converter = std::string (*)(const Spec&, const FormatArg&);

// The handler of a conversion letter; nullptr for a letter that is not a conversion.
Converter ConverterFor(char conversion) {
    switch (conversion) {
        case 'd':
        case 'i':
            return ConvertSigned;
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            return ConvertUnsigned;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            return ConvertFloating;
        case 'c':
            return ConvertChar;
        case 's':
            return ConvertString;
        case 'n':
            return SkipArg;
        default:
            return nullptr;
    }
}

// The arguments in their order; once they are used up, nullptr.
struct ArgQueue {
    std::span<const FormatArg> args;
    std::size_t next = 0;

    const FormatArg* Take() { return next < args.size() ? &args[next++] : nullptr; }
};

void ReadFlags(std::string_view format, std::size_t& pos, Spec& spec) {
    for (; pos < format.size(); ++pos) {
        switch (format[pos]) {
            case '-':
                spec.leftAlign = true;
                break;
            case '+':
                spec.plus = true;
                break;
            case ' ':
                spec.blank = true;
                break;
            case '#':
                spec.alternate = true;
                break;
            case '0':
                spec.zeroPad = true;
                break;
            default:
                return;
        }
    }
}

// The width, digits or *; a negative * width aligns left.
void ReadWidth(std::string_view format, std::size_t& pos, Spec& spec, ArgQueue& args) {
    if (pos < format.size() && format[pos] == '*') {
        ++pos;
        long long value = 0;
        if (IntegerArg(args.Take(), value)) {
            const int width = ClampWidth(value);
            if (width < 0)
                spec.leftAlign = true;
            spec.width = width < 0 ? -width : width;
        }
    } else {
        spec.width = ReadNumber(format, pos);
    }
}

// The precision after a '.', digits or *; a negative * precision is none.
void ReadPrecision(std::string_view format, std::size_t& pos, Spec& spec, ArgQueue& args) {
    if (pos >= format.size() || format[pos] != '.') {
        return;
    }
    ++pos;
    if (pos < format.size() && format[pos] == '*') {
        ++pos;
        long long value = 0;
        if (IntegerArg(args.Take(), value) && value >= 0) {
            spec.precision = ClampWidth(value);
        }
    } else {
        spec.precision = ReadNumber(format, pos);
    }
}

// Flags, width, precision and length modifier of the conversion that starts at `pos`.
Spec ReadSpec(std::string_view format, std::size_t& pos, ArgQueue& args) {
    Spec spec;
    ReadFlags(format, pos, spec);
    ReadWidth(format, pos, spec, args);
    ReadPrecision(format, pos, spec, args);
    spec.length = ReadLength(format, pos);
    return spec;
}

}  // namespace

std::string FormatArgs(std::string_view format, std::span<const FormatArg> args) {
    std::string out;
    out.reserve(format.size());
    ArgQueue queue{args};

    std::size_t pos = 0;
    while (pos < format.size()) {
        const char ch = format[pos];
        if (ch != '%') {
            out += ch;
            ++pos;
            continue;
        }
        const std::size_t start = pos++;
        if (pos < format.size() && format[pos] == '%') {
            out += '%';
            ++pos;
            continue;
        }

        Spec spec = ReadSpec(format, pos, queue);
        if (pos >= format.size()) {
            // The format ends inside a conversion: keep what is there.
            out.append(format.substr(start));
            break;
        }
        spec.conversion = format[pos++];
        if (const Converter convert = ConverterFor(spec.conversion)) {
            if (const FormatArg* arg = queue.Take()) {
                out += convert(spec, *arg);
            }
        } else {
            out.append(format.substr(start, pos - start));
        }
    }
    return out;
}

}  // namespace veltrix
