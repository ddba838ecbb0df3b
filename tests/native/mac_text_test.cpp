#include "targets/mac_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace kivrel {
namespace {

const MacBytes kUntouched = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6};

MacParseResult Parse(const char* text, MacBytes& out) {
    out = kUntouched;
    return ParseMacText(out, text);
}

TEST(MacText, FormatsUpperCaseWithLeadingZeros) {
    TargetEntry entry;
    EXPECT_EQ(entry.FormatMacText(), "00-00-00-00-00-00");
    entry.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    EXPECT_EQ(entry.FormatMacText(), "00-1A-2B-3C-4D-5E");
    entry.mac = {0xFF, 0x0F, 0xF0, 0x01, 0x10, 0xAB};
    EXPECT_EQ(entry.FormatMacText(), "FF-0F-F0-01-10-AB");
}

TEST(MacText, ParsesEitherCase) {
    MacBytes out;
    ASSERT_EQ(Parse("00-1a-2B-3c-4D-5e", out), MAC_OK);
    EXPECT_EQ(out, (MacBytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    ASSERT_EQ(Parse("aa-bb-cc-dd-ee-ff", out), MAC_OK);
    EXPECT_EQ(out, (MacBytes{0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}));
}

TEST(MacText, AnyFormTakesTheFourWrittenFormsWhole) {
    const MacBytes mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    for (const char* text :
         {"00-1a-2B-3C-4D-5E", "00:1A:2B:3C:4D:5E", "001A2B3C4D5E", "001a.2b3c.4d5e"}) {
        MacBytes out = kUntouched;
        EXPECT_TRUE(ParseMacAnyForm(out, text) && out == mac) << text;
    }
    for (const std::string& text :
         std::vector<std::string>{"00-1A-2B:3C-4D-5E", "00.1A.2B.3C.4D.5E", "00-1A-2B-3C-4D-5",
                                  "001A2B3C4D5", "001A2B3C4D5G", "001A.2B3C-4D5E", " 001A2B3C4D5E",
                                  "001A2B3C4D5E0", std::string("001A2B3C4D5\0", 12)}) {
        MacBytes out = kUntouched;
        EXPECT_FALSE(ParseMacAnyForm(out, text)) << text;
        EXPECT_EQ(out, kUntouched);
    }
}

TEST(MacText, RoundTripsRandomAddresses) {
    std::mt19937 random(20261208);
    for (int i = 0; i < 10000; ++i) {
        TargetEntry entry;
        for (auto& b : entry.mac) {
            b = static_cast<std::uint8_t>(random());
        }
        MacBytes out;
        ASSERT_EQ(Parse(entry.FormatMacText().c_str(), out), MAC_OK);
        ASSERT_EQ(out, entry.mac);
    }
}

TEST(MacText, LongerThanSeventeenBytesStoresNothing) {
    MacBytes out;
    EXPECT_EQ(Parse("00-11-22-33-44-55 ", out), MAC_ERR_LENGTH);
    EXPECT_EQ(Parse("00-11-22-33-44-55 66-77-88-99-AA-BB", out), MAC_ERR_LENGTH);
    EXPECT_EQ(Parse("\"00-11-22-33-44-55\"", out), MAC_ERR_LENGTH);
    // A full-width hyphen (two bytes in code page 932) makes the text 18 bytes.
    EXPECT_EQ(Parse("00-11-22-33-44\x81\x5D"
                    "55",
                    out),
              MAC_ERR_LENGTH);
    EXPECT_EQ(out, kUntouched);
}

TEST(MacText, SeparatorsAreCheckedBeforeAnyDigit) {
    MacBytes out;
    for (const char* text : {"", "001122334455", "00:11:22:33:44:55", "/?", "-h",
                             "0G-11-22:33-44-55", "00-11-22-33-4455"}) {
        EXPECT_EQ(Parse(text, out), MAC_ERR_SEPARATOR) << text;
        EXPECT_EQ(out, kUntouched) << text;
    }
}

TEST(MacText, ShortLastGroupIsAccepted) {
    MacBytes out;
    ASSERT_EQ(Parse("00-11-22-33-44-5", out), MAC_OK);
    EXPECT_EQ(out, (MacBytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x05}));
    ASSERT_EQ(Parse("00-11-22-33-44-", out), MAC_OK);
    EXPECT_EQ(out, (MacBytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x00}));
}

TEST(MacText, BadDigitKeepsTheGroupsBeforeIt) {
    MacBytes out;
    EXPECT_EQ(Parse("0G-11-22-33-44-55", out), MAC_ERR_DIGIT);
    EXPECT_EQ(out, kUntouched);
    EXPECT_EQ(Parse("00-11-2G-33-44-55", out), MAC_ERR_DIGIT);
    EXPECT_EQ(out, (MacBytes{0x00, 0x11, 0xA3, 0xA4, 0xA5, 0xA6}));
    EXPECT_EQ(Parse("00-11-22-33-44- 5", out), MAC_ERR_DIGIT);
    // A group that is one double-byte character (full-width A in code page 932).
    EXPECT_EQ(Parse("00-11-22-\x82\x60-44-55", out), MAC_ERR_DIGIT);
}

TEST(MacText, HexPairConversion) {
    std::uint8_t out = 0x77;
    EXPECT_TRUE(HexPairToByte(out, ""));
    EXPECT_EQ(out, 0);
    EXPECT_TRUE(HexPairToByte(out, "fF"));
    EXPECT_EQ(out, 0xFF);
    out = 0x77;
    EXPECT_FALSE(HexPairToByte(out, "1g"));
    EXPECT_FALSE(HexPairToByte(out, "\xA0"));
    EXPECT_EQ(out, 0x77);
}

} // namespace
} // namespace kivrel
