#include "browser/FileDrop.h"

#include <gtest/gtest.h>

using namespace trovell;

TEST(DroppedFileName, ThePartAfterTheLastSeparatorOfEitherKind) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\img\\050101\\050101120000.bmp", L"050101120000.bmp"},
        {L"Z:\\tmp/x/旅行.jpg", L"旅行.jpg"},
        {L"Z:/tmp\\x\\a b.bmp", L"a b.bmp"},
        {L"\\\\server\\share\\p.bmp", L"p.bmp"},
        {L"bare.bmp", L"bare.bmp"},
    };
    for (const auto& [path, name] : cases) EXPECT_EQ(DroppedFileName(path), name) << path;
    for (const wchar_t* none :
         {L"C:\\img\\folder\\", L"C:\\img\\..", L"C:\\img\\.", L"C:\\img\\a:stream", L""})
        EXPECT_EQ(DroppedFileName(none), L"") << none;
}
