#include "platform/text.h"

#include <gtest/gtest.h>

using namespace orvel;

TEST(Text, CaseInsensitiveHelpers) {
    EXPECT_TRUE(iequals("MAME64.EXE", "mame64.exe"));
    EXPECT_FALSE(iequals("mame", "mame64"));
    EXPECT_LT(icompare("apple", "Banana"), 0);
    EXPECT_EQ(icompare("Pac-Man", "pac-man"), 0);
    EXPECT_LT(icompare("pac", "pac-man"), 0);
    EXPECT_TRUE(icontains("Street Fighter II", "fighter"));
    EXPECT_TRUE(icontains("abc", ""));
    EXPECT_FALSE(icontains("ab", "abc"));
    EXPECT_TRUE(icontains("aaab", "aab"));
    // Beyond ASCII: Unicode case folding, composed first.
    EXPECT_EQ(fold_case("ATTACHÉ ÜBER"), "attaché über");
#if defined(_WIN32) && !ORVEL_HAVE_UTF8PROC
    EXPECT_EQ(fold_case("Straße"), "straße"); // the system's simple case mapping
#else
    EXPECT_EQ(fold_case("Straße"), "strasse");
#endif
    EXPECT_EQ(fold_case("E\xCC\x81"), "é");     // e + combining acute
    EXPECT_EQ(fold_case("Bad\xFF"), "bad\xFF"); // not UTF-8: ASCII letters only
    EXPECT_TRUE(iequals("Été", "éTÉ"));
    EXPECT_EQ(icompare("éa", "ÉB"), -1);
    EXPECT_TRUE(icontains("Attaché Case", "ATTACHÉ"));
}

TEST(Text, TitleCase) {
    EXPECT_EQ(title_case("imperfect"), "Imperfect");
    EXPECT_EQ(title_case("BIOS"), "Bios");
    EXPECT_EQ(title_case("N/A"), "N/a");
    EXPECT_EQ(title_case("lcd"), "Lcd");
    EXPECT_EQ(title_case("  two words(here)and-more "), "Two Words(Here)And-More");
    EXPECT_EQ(title_case(""), "");
}

TEST(Text, DecodesByByteOrderMark) {
    EXPECT_EQ(decode_text("\xEF\xBB\xBFh\xC3\xA9"), "h\xC3\xA9");
    EXPECT_EQ(decode_text(std::string("\xFF\xFEh\0\xE9\0", 6)), "h\xC3\xA9");
    EXPECT_EQ(decode_text(std::string("\xFE\xFF\0h\0\xE9", 6)), "h\xC3\xA9");
    EXPECT_EQ(decode_text(std::string("\xFF\xFE\0\0h\0\0\0", 8)), "h");
    EXPECT_EQ(decode_text(std::string("\0\0\xFE\xFF\0\0\0h", 8)), "h");
    // Without a mark: valid UTF-8 stays, other bytes are ISO 8859-1.
    EXPECT_EQ(decode_text("h\xC3\xA9"), "h\xC3\xA9");
    EXPECT_EQ(decode_text("h\xE9"), "h\xC3\xA9");
    EXPECT_EQ(decode_text("h\xC3\xA9", TextFallback::Latin1), "h\xC3\x83\xC2\xA9");
    // A surrogate pair in UTF-16.
    EXPECT_EQ(decode_text(std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6)), "\xF0\x9F\x98\x80");
}

TEST(Text, SplitsLinesAndNumbers) {
    auto lines = split_lines("a\r\nb\n\nc");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "c");
    EXPECT_EQ(split_lines("a\r\n").size(), 1u);
    EXPECT_EQ(split(";a;;", ';').size(), 4u);
    EXPECT_EQ(leading_number("-12abc"), -12);
    EXPECT_EQ(leading_number("ten"), 0);
    EXPECT_EQ(leading_number("+7"), 7);
}

TEST(Text, EscapesControlCharactersForTheTerminal) {
    const struct {
        std::string_view text, shown;
    } cases[] = {
        {"plain\ttext\nand CR LF\r\n", "plain\ttext\nand CR LF\r\n"},
        {"\x1b]52;c;cHduZWQ=\x07", "\\x1B]52;c;cHduZWQ=\\x07"}, // a clipboard write
        {"a\rb\x7f\x01", "a\\x0Db\\x7F\\x01"},
        {"C1 \xC2\x9B"
         "2J, Jing\xC5\xAB"
         "kan \xC2\xA0",
         "C1 \\u009B2J, Jing\xC5\xAB"
         "kan \xC2\xA0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(escape_control_characters(c.text), c.shown) << c.text;
}
