#include "shell/TrayRules.h"

#include "shell/JpegErrors.h"

#include <gtest/gtest.h>

using namespace trovell;

TEST(TrayTip, FourCombinationsOfFormatAndMethod) {
    EXPECT_EQ(TrayTipText(0, 0), L"[ BMP保存 ]\r\n左クリックで切り貼り開始。");
    EXPECT_EQ(TrayTipText(1, 0), L"[ JPG保存 ]\r\n左クリックで切り貼り開始。");
    EXPECT_EQ(TrayTipText(0, 1), L"[ BMP保存 ]\r\n左クリックでクリップボードを保存。");
    EXPECT_EQ(TrayTipText(1, 1), L"[ JPG保存 ]\r\n左クリックでクリップボードを保存。");
}

TEST(TrayTip, UnknownValuesDropTheirPart) {
    EXPECT_EQ(TrayTipText(2, 0), L"\r\n左クリックで切り貼り開始。");
    EXPECT_EQ(TrayTipText(0, 2), L"[ BMP保存 ]");
    EXPECT_EQ(TrayTipText(-1, 5), L"");
}

TEST(TrayDecoding, OnlyLeftAndRightReleasesAct) {
    EXPECT_EQ(DecodeTrayMessage(0x202), TrayClick::Left);
    EXPECT_EQ(DecodeTrayMessage(0x205), TrayClick::Right);
    for (uint32_t ignored : {0x200u, 0x201u, 0x203u, 0x204u, 0x206u, 0x207u, 0x208u, 0x209u, 0u,
                             0x400u, 0x10202u}) {
        EXPECT_EQ(DecodeTrayMessage(ignored), TrayClick::None) << std::hex << ignored;
    }
}

TEST(JpegResult, OnlyZeroIsSuccessAndEachFailureHasItsText) {
    std::wstring text;
    EXPECT_TRUE(JpegErrorText(0, &text));
    EXPECT_EQ(text, L"");
    EXPECT_FALSE(JpegErrorText(1, &text));
    EXPECT_EQ(text, L"ﾌｧｲﾙがｵｰﾌﾟﾝできません。");
    EXPECT_FALSE(JpegErrorText(3, &text));
    EXPECT_EQ(text, L"ﾌｧｲﾙのﾌｫｰﾏｯﾄｴﾗｰです。");
    EXPECT_FALSE(JpegErrorText(5, &text));
    EXPECT_EQ(text, L"ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾋﾞｯﾄﾏｯﾌﾟがありません。");
    EXPECT_FALSE(JpegErrorText(6, &text));
    EXPECT_EQ(text, L"");
    EXPECT_FALSE(JpegErrorText(-1));
}
