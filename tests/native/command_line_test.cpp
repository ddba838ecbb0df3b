#include "app/command_line.h"
#include "app/zip_copy.h"

#include <gtest/gtest.h>

namespace kivrel {
namespace {

// Code page 932's lead bytes.
bool Cp932Lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::string Text(const char* line) {
    return CommandLineText(line, Cp932Lead);
}

TEST(CommandLineText, SkipsTheProgramNameAndTheBlanksAfterIt) {
    EXPECT_EQ(Text("Kivrel.exe"), "");
    EXPECT_EQ(Text("Kivrel.exe    "), "");
    EXPECT_EQ(Text("Kivrel.exe \t 00-11-22-33-44-55"), "00-11-22-33-44-55");
    EXPECT_EQ(Text("C:\\Kivrel.exe\x01\x1F 00-11"), "00-11");
    EXPECT_EQ(Text(""), "");
}

TEST(CommandLineText, KeepsTheRestAsItStands) {
    EXPECT_EQ(Text("k 00-11-22-33-44-55 "), "00-11-22-33-44-55 ");
    EXPECT_EQ(Text("k \"00-11-22-33-44-55\""), "\"00-11-22-33-44-55\"");
    EXPECT_EQ(Text("k a  b"), "a  b");
}

TEST(CommandLineText, QuotedNameRunsToTheClosingQuote) {
    EXPECT_EQ(Text("\"C:\\Program Files\\Kivrel.exe\" 00-11"), "00-11");
    EXPECT_EQ(Text("\"C:\\a b\\k.exe\"00-11"), "00-11");
    EXPECT_EQ(Text("\"unterminated name 00-11"), "");
}

TEST(CommandLineText, DoubleByteCharactersInAQuotedNameAreSteppedOverWhole) {
    // 0x81 0x22 is not a real code page 932 pair, but shows that a lead byte
    // takes the next byte with it, even a quote.
    EXPECT_EQ(Text("\"\x81\x22 still the name\" 00-11"), "00-11");
    EXPECT_EQ(Text("\"\x83\x4C\x83\x75\x83\x8B.exe\" 00-11"), "00-11");
    // A lead byte at the very end does not run past the terminator.
    EXPECT_EQ(Text("\"\x81"), "");
}

TEST(JoinArguments, OneArgumentArrivesUnchangedAndNoneIsEmpty) {
    const char* none[] = {"kivrel"};
    EXPECT_EQ(JoinArguments(1, none), "");
    const char* one[] = {"kivrel", "00-11-22-33-44-55 "};
    EXPECT_EQ(JoinArguments(2, one), "00-11-22-33-44-55 ");
    const char* two[] = {"kivrel", "a", "b"};
    EXPECT_EQ(JoinArguments(3, two), "a b");
}

TEST(ZipCopyFolder, FolderNamedAfterAZipBelowTheTemporaryOne) {
    const std::wstring temp = L"C:\\Users\\A\\AppData\\Local\\Temp\\";
    for (const wchar_t* folder :
         {L"C:\\Users\\A\\AppData\\Local\\Temp\\Temp1_Kivrel-1.01-win64.zip",
          L"c:\\users\\a\\appdata\\local\\temp\\Temp2_K.ZIP\\Kivrel-1.01-win64",
          L"C:/Users/A/AppData/Local/Temp/x/y.zip/z",
          L"C:\\Users\\A\\AppData\\Local\\Temp\\7zO4C1D2E3F",
          L"C:\\Users\\A\\AppData\\Local\\Temp\\7zE0A1B2C3D\\Kivrel-1.01-win32",
          L"C:\\Users\\A\\AppData\\Local\\Temp\\rar$EXa1234.5678\\Kivrel",
          L"C:\\Users\\A\\AppData\\Local\\Temp\\Rar$DIa9.876"}) {
        EXPECT_TRUE(IsZipCopyFolder(folder, temp)) << folder;
    }
    for (const wchar_t* folder :
         {L"C:\\Tools\\Kivrel.zip", L"C:\\Users\\A\\AppData\\Local\\Temp",
          L"C:\\Users\\A\\AppData\\Local\\Temp\\Kivrel",
          L"C:\\Users\\A\\AppData\\Local\\Temp\\a.zipped",
          L"C:\\Users\\A\\AppData\\Local\\Temp\\7z", L"C:\\Users\\A\\AppData\\Local\\Temp\\my7zOld",
          L"C:\\Tools\\7zO1\\Rar$EX1", L"C:\\Users\\A\\AppData\\Local\\Temporary\\a.zip"}) {
        EXPECT_FALSE(IsZipCopyFolder(folder, temp)) << folder;
    }
    EXPECT_FALSE(IsZipCopyFolder(L"\\a.zip", L""));
}

} // namespace
} // namespace kivrel
