// Window tests run inside one Wine process per test case (ctest discovers them one by one).
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    ::OleUninitialize();
    return rc;
}
