#include "texts/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace veltrix {
namespace {

struct FormatCase {
    const char* name;
    std::string result;
    const char* expected;
};

// Each row formats once; the table shows the result next to what it must be.
void CheckAll(const std::vector<FormatCase>& cases) {
    for (const FormatCase& c : cases) {
        EXPECT_EQ(c.result, c.expected) << c.name;
    }
}

TEST(Format, IntegerConversions) {
    CheckAll({
        {"plain", Format("%d", 42), "42"},
        {"negative", Format("%d", -42), "-42"},
        {"i", Format("%i", 7), "7"},
        {"unsigned", Format("%u", 4000000000U), "4000000000"},
        {"lower hex", Format("%x", 0xBEEF), "beef"},
        {"upper hex", Format("%X", 0xbeef), "BEEF"},
        {"octal", Format("%o", 8), "10"},
        {"zero padded hex", Format("%02x", 5), "05"},
        {"zero pad not cutting", Format("%02x", 0x1ab), "1ab"},
        {"four digit hex", Format("%04X%04X", 0x12, 0xABCD), "0012ABCD"},
        {"width", Format("[%5d]", 42), "[   42]"},
        {"left", Format("[%-5d]", 42), "[42   ]"},
        {"plus", Format("%+d", 3), "+3"},
        {"alternate hex", Format("%#x", 255), "0xff"},
        {"precision", Format("%.3d", 7), "007"},
        {"star width", Format("[%*d]", 4, 9), "[   9]"},
        {"negative star width", Format("[%*d]", -4, 9), "[9   ]"},
        {"long", Format("%lu", 123456789012UL), "123456789012"},
        {"I64", Format("%I64u", std::uint64_t{18446744073709551615ULL}), "18446744073709551615"},
        {"int64 min", Format("%lld", std::numeric_limits<std::int64_t>::min()),
         "-9223372036854775808"},
        {"uint8 is a number", Format("%d", std::uint8_t{200}), "200"},
        {"bool", Format("%d", true), "1"},
        {"h cuts", Format("%hx", 0x12345), "2345"},
        {"hh cuts", Format("%hhu", 0x1FF), "255"},
    });
}

TEST(Format, NegativeNumbersInUnsignedConversionsUseTheirOwnWidth) {
    CheckAll({
        {"int", Format("%x", -1), "ffffffff"},
        {"int upper", Format("%X", -2), "FFFFFFFE"},
        {"int16", Format("%x", std::int16_t{-1}), "ffff"},
        {"int64", Format("%x", std::int64_t{-1}), "ffffffffffffffff"},
        {"unsigned of int", Format("%u", -1), "4294967295"},
        {"huge unsigned in %d", Format("%d", std::numeric_limits<std::uint64_t>::max()),
         "18446744073709551615"},
    });
}

TEST(Format, FloatingConversions) {
    CheckAll({
        {"speed", Format("%5.2f", 0.2f), " 0.20"},
        {"speed wide", Format("%5.2f", 123.456), "123.46"},
        {"default precision", Format("%f", 1.5), "1.500000"},
        {"exponent", Format("%.1e", 12345.0), "1.2e+04"},
        {"general", Format("%g", 0.5), "0.5"},
        {"integer as floating", Format("%.1f", 3), "3.0"},
        {"floating as integer cut", Format("%d", 3.9), "3"},
        {"negative floating as integer", Format("%d", -3.9), "-3"},
        {"nan as integer", Format("%d", std::numeric_limits<double>::quiet_NaN()), "0"},
        {"huge as integer", Format("%d", 1e300), "9223372036854775807"},
    });
}

TEST(Format, TextAndCharacterConversions) {
    const char field[8] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};  // no NUL
    const char shortField[8] = "AB";
    const char* nullText = nullptr;
    CheckAll({
        {"literal", Format("%s", "abc"), "abc"},
        {"std::string", Format("<%s>", std::string("host")), "<host>"},
        {"string_view", Format("%s", std::string_view("view")), "view"},
        {"pipe path", Format("\\\\%s\\PIPE\\%s", ".", "KAVOPIPE"), "\\\\.\\PIPE\\KAVOPIPE"},
        {"width", Format("[%6s]", "ab"), "[    ab]"},
        {"left", Format("[%-6s]", "ab"), "[ab    ]"},
        {"precision cuts", Format("%.2s", "abcdef"), "ab"},
        {"field without NUL stops at its end", Format("%s|", field), "ABCDEFGH|"},
        {"field stops at NUL", Format("%s|", shortField), "AB|"},
        {"null pointer", Format("[%s]", nullText), "[]"},
        {"char", Format("%c%c", 'o', 'k'), "ok"},
        {"char from int", Format("%c", 65), "A"},
        {"char width", Format("[%3c]", 'x'), "[  x]"},
        {"NUL char left out", Format("[%c]", '\0'), "[]"},
        {"number in %s", Format("%s", 17), "17"},
        {"negative number in %s", Format("%s", -17), "-17"},
        {"floating in %s", Format("%s", 0.5), "0.5"},
        {"text in %d", Format("[%d]", "abc"), "[abc]"},
        {"text in %5.2f keeps all of it", Format("[%5.2f]", "abc"), "[  abc]"},
        {"percent", Format("100%%"), "100%"},
        {"text after percent", Format("%d%%", 50), "50%"},
    });
}

TEST(Format, HostileArgumentsArePrintedLiterally) {
    const std::string hostile = "%s%n%d%x%99999999s";
    EXPECT_EQ(Format("%s", hostile), hostile);
    EXPECT_EQ(Format("[%s] %d", "%s%n%d", 5), "[%s%n%d] 5");
    EXPECT_EQ(Format(LoadString(142, Language::English) + "%s %d", "%n%n%n", 7),
              "E-Mail System Error:\n%n%n%n 7");
    EXPECT_EQ(Format("%c", '%'), "%");
}

TEST(Format, MissingAndExtraArgumentsAreSafe) {
    CheckAll({
        {"no args", Format("Controller No.:%d  Port:%d"), "Controller No.:  Port:"},
        {"one missing", Format("%d.%d", 3), "3."},
        {"missing string", Format("[%s]"), "[]"},
        {"missing padded", Format("[%5d]"), "[]"},
        {"missing star", Format("[%*d]"), "[]"},
        {"missing float", Format("%5.2f MB/s"), " MB/s"},
        {"extra ignored", Format("%d", 1, 2, 3), "1"},
        {"no conversions", Format("plain", 1, "x"), "plain"},
        {"%n uses its argument", Format("%n%d", 1, 2), "2"},
    });
}

TEST(Format, MalformedFormatsAreCopied) {
    CheckAll({
        {"trailing percent", Format("50%", 1), "50%"},
        {"trailing spec", Format("a%5", 1), "a%5"},
        {"trailing length", Format("a%l"), "a%l"},
        {"unknown conversion", Format("%y%d", 4), "%y4"},
        {"unknown with flags", Format("%-5k"), "%-5k"},
        {"empty", Format(""), ""},
    });
}

TEST(Format, HugeWidthsAreLimited) {
    EXPECT_EQ(Format("%99999999999d", 1).size(), static_cast<std::size_t>(kMaxFormatWidth));
    EXPECT_EQ(Format("%*s", 1 << 30, "x").size(), static_cast<std::size_t>(kMaxFormatWidth));
    EXPECT_EQ(Format("%.99999999f", 1.0).size(), static_cast<std::size_t>(kMaxFormatWidth) + 2);
    EXPECT_EQ(Format("%.*s", -1, "abc"), "abc");
}

enum class Small : std::uint8_t { Seven = 7 };

TEST(Format, EnumsFormatAsTheirValue) {
    EXPECT_EQ(Format("%d", Small::Seven), "7");
}

TEST(FormatString, TablesWithTheirArguments) {
    CheckAll({
        {"device found", FormatString(Language::English, 127, 0, 3),
         "Controller No.:0  Port:3\nDevice found."},
        {"device found de", FormatString(Language::German, 127, 0, 3),
         "Controller Nr.:0  Port:3\nLaufwerk gefunden."},
        {"spare", FormatString(Language::English, 132, 1),
         "Controller No.:1  Spare Drive* accessed."},
        {"balloon", FormatString(Language::English, 125, 0, 10) + "%", "Controller No.0  10%"},
        {"tooltip line", FormatString(Language::English, 126, 2), "\nController No.2    -   "},
        {"bios version", FormatString(Language::English, 191, 3, 60), "BIOS Version: 3.60"},
        {"file error", FormatString(Language::German, 165, 2), "Dateifehler 2"},
        {"absent id", FormatString(Language::English, 154, 1), ""},
    });
}

}  // namespace
}  // namespace veltrix
