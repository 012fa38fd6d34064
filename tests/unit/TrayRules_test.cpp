#include "shell/TrayRules.h"

#include <gtest/gtest.h>

using namespace trovell;

TEST(TrayTip, FormatThenMethod_UnknownValuesDropTheirPart) {
    // (0, 0), (1, 0) and (1, 1) are read on the resident window's record.
    EXPECT_EQ(TrayTipText(0, 1), L"[ BMP保存 ]\r\n左クリックでクリップボードを保存。");
    EXPECT_EQ(TrayTipText(2, 0), L"\r\n左クリックで切り貼り開始。");
    EXPECT_EQ(TrayTipText(0, 2), L"[ BMP保存 ]");
}

TEST(TrayDecoding, OnlyLeftAndRightReleasesAct) {
    EXPECT_EQ(DecodeTrayMessage(0x202), TrayClick::Left);
    EXPECT_EQ(DecodeTrayMessage(0x205), TrayClick::Right);
    for (uint32_t ignored :
         {0x200u, 0x201u, 0x203u, 0x204u, 0x206u, 0x207u, 0x208u, 0x209u, 0u, 0x400u, 0x10202u})
        EXPECT_EQ(DecodeTrayMessage(ignored), TrayClick::None) << std::hex << ignored;
}

TEST(FailureBalloon, ThreeLinesThePlaceShortenedInTheMiddleToFit) {
    EXPECT_EQ(FailureBalloonText(L"A", L"why", L"C:\\img\\", 255), L"A\nwhy\nC:\\img\\");
    EXPECT_EQ(FailureBalloonText(L"A", L"why", L"", 255), L"A\nwhy");
    const std::wstring place = L"C:\\" + std::wstring(300, L'x') + L"\\021231\\";
    // 255 characters, the day folder at the end readable: the tail keeps the larger half.
    EXPECT_EQ(FailureBalloonText(L"画像を保存できませんでした。", L"why", place, 255),
              L"画像を保存できませんでした。\nwhy\nC:\\" + std::wstring(114, L'x') + L'…' +
                  std::wstring(110, L'x') + L"\\021231\\");
    // A reason that fills the balloon alone is cut, and no place follows.
    EXPECT_EQ(FailureBalloonText(L"A", std::wstring(400, L'r'), place, 255).size(), 255u);
    EXPECT_EQ(ShortenMiddle(L"abcdefghij", 5), L"ab…ij");
    EXPECT_EQ(ShortenMiddle(L"abc", 5), L"abc");
}
