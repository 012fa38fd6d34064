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

namespace {
// The operations as a log of what was done; copy and remove fail for the paths given.
struct Recorder {
    std::vector<std::wstring> log;
    std::wstring failCopy, failRemove;
    DropFileOps Ops() {
        return {.copy = [this](const std::wstring& from, const std::wstring& to) -> uint32_t {
                    log.push_back(L"copy " + from + L" " + to);
                    return from == failCopy ? 80 : 0;
                },
                .remove = [this](const std::wstring& path) -> uint32_t {
                    log.push_back(L"remove " + path);
                    return path == failRemove ? 5 : 0;
                },
                .moved = [this](const std::wstring& from) { log.push_back(L"moved " + from); }};
    }
};
}  // namespace

TEST(DropFiles, CopiesInOrderAndAMoveDeletesEachSourceAfterItsCopy) {
    const std::vector<std::wstring> paths = {L"A:\\1.bmp", L"A:\\sub/2.bmp"};
    Recorder copy;
    DropResult r = DropFiles(paths, L"B:\\", false, copy.Ops());
    EXPECT_EQ(r.handled, 2u);
    EXPECT_EQ(r.error, 0u);
    EXPECT_EQ(copy.log, (std::vector<std::wstring>{L"copy A:\\1.bmp B:\\1.bmp",
                                                   L"copy A:\\sub/2.bmp B:\\2.bmp"}));
    Recorder move;
    r = DropFiles(paths, L"B:\\", true, move.Ops());
    EXPECT_EQ(r.handled, 2u);
    EXPECT_EQ(move.log,
              (std::vector<std::wstring>{L"copy A:\\1.bmp B:\\1.bmp", L"remove A:\\1.bmp",
                                         L"moved A:\\1.bmp", L"copy A:\\sub/2.bmp B:\\2.bmp",
                                         L"remove A:\\sub/2.bmp", L"moved A:\\sub/2.bmp"}));
}

TEST(DropFiles, StopsAtTheFirstFailureKeepingWhatWasHandled) {
    const std::vector<std::wstring> paths = {L"A:\\1.bmp", L"A:\\2.bmp", L"A:\\3.bmp"};
    Recorder copy;
    copy.failCopy = L"A:\\2.bmp";
    DropResult r = DropFiles(paths, L"B:\\", true, copy.Ops());
    EXPECT_EQ(r.handled, 1u);
    EXPECT_EQ(r.error, 80u);
    EXPECT_EQ(copy.log.back(), L"copy A:\\2.bmp B:\\2.bmp");  // no delete after a failed copy

    Recorder remove;
    remove.failRemove = L"A:\\1.bmp";
    r = DropFiles(paths, L"B:\\", true, remove.Ops());
    EXPECT_EQ(r.handled, 0u);
    EXPECT_EQ(r.error, 5u);
    EXPECT_EQ(remove.log,
              (std::vector<std::wstring>{L"copy A:\\1.bmp B:\\1.bmp", L"remove A:\\1.bmp"}));

    Recorder named;
    r = DropFiles({L"A:\\1.bmp", L"A:\\..", L"A:\\3.bmp"}, L"B:\\", false, named.Ops());
    EXPECT_EQ(r.handled, 1u);
    EXPECT_EQ(r.error, kErrorInvalidName);
    EXPECT_EQ(named.log.size(), 1u);
}
