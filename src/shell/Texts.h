#pragma once
// Every text of the resident shell that a person sees, spelled once.

namespace trovell::texts {

inline constexpr wchar_t kAppTitle[] = L"Velloran Trovell";
inline constexpr wchar_t kMainCaption[] = L"Velloran トロベル";
inline constexpr wchar_t kAlreadyRunning[] = L"このアプリケーションはすでに起動しています";

inline constexpr wchar_t kTipBmp[] = L"[ BMP保存 ]";
inline constexpr wchar_t kTipJpg[] = L"[ JPG保存 ]";
inline constexpr wchar_t kTipByHand[] = L"左クリックで切り貼り開始。";
inline constexpr wchar_t kTipClipboard[] = L"左クリックでクリップボードを保存。";

inline constexpr wchar_t kMenu[] = L"メニュー";
inline constexpr wchar_t kMenuCapture[] = L"キャプチャー";
inline constexpr wchar_t kMenuList[] = L"トロベル一覧";
inline constexpr wchar_t kMenuFormat[] = L"保存形式";
inline constexpr wchar_t kMenuBmp[] = L"BMP";
inline constexpr wchar_t kMenuJpeg[] = L"JPEG";
inline constexpr wchar_t kMenuMethod[] = L"保存方法";
inline constexpr wchar_t kMenuByHand[] = L"自分で切り貼り";
inline constexpr wchar_t kMenuClipboard[] = L"クリップボードから";
inline constexpr wchar_t kMenuQuit[] = L"トロベルの終了";

inline constexpr wchar_t kSaveFailed[] = L"画像を保存できませんでした。";
inline constexpr wchar_t kSettingsNotSaved[] = L"設定を保存できませんでした。";
inline constexpr wchar_t kStoreRootNotMade[] = L"保存先のフォルダを作成できませんでした。";
inline constexpr wchar_t kStartFailed[] = L"トロベルを起動できませんでした。";

// What the JPEG writer's result codes 1 to 5 mean, in its own half-width katakana; shown when
// no system call said more.
inline constexpr const wchar_t* kJpegErrors[] = {
    L"ﾌｧｲﾙがｵｰﾌﾟﾝできません。",
    L"ﾌｧｲﾙが書き込めません。",
    L"ﾌｧｲﾙのﾌｫｰﾏｯﾄｴﾗｰです。",
    L"ｽﾀｯｸｵｰﾊﾞｰﾌﾛｰです。",
    L"ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾋﾞｯﾄﾏｯﾌﾟがありません。",
};

}  // namespace trovell::texts
