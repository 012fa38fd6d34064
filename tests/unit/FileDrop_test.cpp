#include "browser/FileDrop.h"

#include <gtest/gtest.h>

using namespace trovell;

TEST(DroppedFileName, ThePartAfterTheLastSeparatorOfEitherKind) {
    struct Case {
        const wchar_t* path;
        const wchar_t* name;
    };
    const Case cases[] = {
        {L"C:\\img\\050101\\050101120000.bmp", L"050101120000.bmp"},
        {L"Z:\\tmp/x/旅行.jpg", L"旅行.jpg"},
        {L"Z:/tmp\\x\\a b.bmp", L"a b.bmp"},
        {L"\\\\server\\share\\p.bmp", L"p.bmp"},
        {L"bare.bmp", L"bare.bmp"},
        {L"C:\\img\\folder\\", L""},
        {L"C:\\img\\..", L""},
        {L"C:\\img\\.", L""},
        {L"C:\\img\\a:stream", L""},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(DroppedFileName(c.path), c.name) << c.path;
}
