#include "ui/target_input.h"

#include "res/resource.h"

#include <gtest/gtest.h>

namespace kivrel {
namespace {

const MacBytes kZero{};

void ExpectFault(const std::string& name, const std::string& mac, unsigned messageId,
                 TargetField field, const std::string& port = "") {
    const TargetInputResult result = ValidateTargetInput(name, mac, port);
    EXPECT_EQ(result.messageId, messageId) << '"' << name << "\" \"" << mac << '"';
    EXPECT_EQ(result.field, field) << '"' << name << "\" \"" << mac << '"';
    // A fault never hands out the groups that parsed before it.
    EXPECT_EQ(result.mac, kZero) << '"' << name << "\" \"" << mac << '"';
}

TEST(TargetInput, EmptyNameIsReportedFirst) {
    // The new dialog's own all-zero address is valid, yet the name comes first.
    ExpectFault("", "00-00-00-00-00-00", IDS_NAME_EMPTY, TargetField::Name);
    ExpectFault("", "00:11", IDS_NAME_EMPTY, TargetField::Name);
    ExpectFault("", "", IDS_NAME_EMPTY, TargetField::Name);
}

TEST(TargetInput, LengthIsCheckedBeforeTheParse) {
    // Among them the 15- and 16-byte short forms that the parser accepts.
    for (const char* mac :
         {"", "00112233445", "00-11-22-33-44-", "00-11-22-33-44-5", "00-11-22-33-44-55 ",
          " 00-11-22-33-44-55", "00:11:22:33:44:55:66", "0011.2233.445"}) {
        ExpectFault("pc", mac, IDS_MAC_LENGTH, TargetField::Mac);
    }
    // Seventeen bytes only up to a NUL: the parser would read a short form.
    ExpectFault("pc", std::string("00-11-22-33-44-5\0", 17), IDS_MAC_LENGTH, TargetField::Mac);
}

TEST(TargetInput, SeparatorAndDigitFaults) {
    // Every separator must be the form's own: no mixing.
    ExpectFault("pc", "00:11:22:33:44-55", IDS_MAC_SEPARATOR, TargetField::Mac);
    ExpectFault("pc", "00-11-22-33-44 55", IDS_MAC_SEPARATOR, TargetField::Mac);
    ExpectFault("pc", "0011.2233-4455", IDS_MAC_SEPARATOR, TargetField::Mac);
    ExpectFault("pc", "00112233445G", IDS_MAC_DIGIT, TargetField::Mac);
    ExpectFault("pc", "0G-11-22-33-44-55", IDS_MAC_DIGIT, TargetField::Mac);
    ExpectFault("pc", "00-11-22-33-44-5G", IDS_MAC_DIGIT, TargetField::Mac);
    ExpectFault("pc", "00-11-22- 3-44-55", IDS_MAC_DIGIT, TargetField::Mac);
}

TEST(TargetInput, DoubleByteCharactersCountTwice) {
    // Shift-JIS: the full-width "０" is 82 4F, the full-width hyphen 81 7C.
    ExpectFault("pc", "\x82\x4F\x82\x4F-11-22-33-44-55", IDS_MAC_LENGTH, TargetField::Mac);
    ExpectFault("pc", "\x82\x4F-11-22-33-44-55", IDS_MAC_DIGIT, TargetField::Mac);
    ExpectFault("pc",
                "00\x81\x7C"
                "11-22-33-44-5",
                IDS_MAC_SEPARATOR, TargetField::Mac);
}

TEST(TargetInput, FullWidthAddressIsReadInHalfWidth) {
    EXPECT_EQ(HalfWidthMacText(L"\xFF10\xFF41-\xFF21\xFF46\xFF0D\x30FC\xFF70\x2010\x2212:"),
              L"0a-Af-----:");
    // Beside the block's ends, and what has no half-width form, stay.
    EXPECT_EQ(HalfWidthMacText(L"\xFF00\xFF5F\x3042 0"), L"\xFF00\xFF5F\x3042 0");
}

TEST(TargetInput, ValidInputGivesTheSixBytes) {
    const struct {
        const char* name;
        const char* mac;
        MacBytes bytes;
    } cases[] = {
        {"pc", "00-00-00-00-00-00", {0, 0, 0, 0, 0, 0}},
        {"pc", "aa-bb-cc-dd-ee-ff", {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}},
        {"   ", "00-1A-2b-3C-4d-5E", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
        {"\x83\x65\x83\x58\x83\x67", "FF-FF-FF-FF-FF-FF", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        // The forms CSV import takes, as other tools write them.
        {"pc", "00:1a:2B:3c:4D:5e", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
        {"pc", "001A2B3C4D5E", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
        {"pc", "001a.2b3c.4d5e", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
    };
    for (const auto& c : cases) {
        const TargetInputResult result = ValidateTargetInput(c.name, c.mac);
        EXPECT_EQ(result.messageId, 0u) << c.mac;
        EXPECT_EQ(result.field, TargetField::None) << c.mac;
        EXPECT_EQ(result.mac, c.bytes) << c.mac;
    }
}

// After the name and the MAC: a port of 1 to 65535, or none at all.
TEST(TargetInput, APortIsOneTo65535OrNone) {
    for (const char* port : {"0", "65536", "99999999999", "+9", "x", "1 2"}) {
        ExpectFault("pc", "00-11-22-33-44-55", IDS_PORT_BAD, TargetField::Port, port);
    }
    ExpectFault("pc", "00-11-22-33-44-5", IDS_MAC_LENGTH, TargetField::Mac, "0");
    EXPECT_EQ(ValidateTargetInput("pc", "00-11-22-33-44-55", " 065535 ").port, 65535);
    EXPECT_EQ(ValidateTargetInput("pc", "00-11-22-33-44-55", "  ").messageId, 0u);
}

} // namespace
} // namespace kivrel
