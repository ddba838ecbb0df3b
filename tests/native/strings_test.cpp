#include "res/resource.h"
#include "res/utf8_strings.h"
#include "ui/messages.h"

#include <gtest/gtest.h>

#include <string>

namespace kivrel {
namespace {

TEST(Utf8Strings, MessagesReadAsTheResourceScriptHasThem) {
    EXPECT_STREQ(Utf8String(AFX_IDS_APP_TITLE), "Kivrel");
    EXPECT_EQ(std::string(Utf8String(IDS_MAC_SEPARATOR)),
              "MACアドレスの区切り文字が誤っています。\"-\"ハイフンで区切って下さい。");
    EXPECT_EQ(Utf8String(1), nullptr);
    EXPECT_EQ(FillNumbers(std::string(Utf8String(IDS_IMPORT_DONE)), 3, 12),
              "3 台を追加しました。\n12 台は登録済みのため飛ばしました。");
}

} // namespace
} // namespace kivrel
