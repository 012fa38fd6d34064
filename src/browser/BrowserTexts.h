#pragma once
// Every text of the browser window that a person sees, spelled once.

#include "shell/Texts.h"

namespace trovell::texts {

inline constexpr wchar_t kListCaption[] = L"Velloran トロベル一覧";

inline constexpr wchar_t kToolClose[] = L"閉じる";
inline constexpr wchar_t kToolNew[] = L"新規";
inline constexpr wchar_t kToolDelete[] = L"削除";
inline constexpr wchar_t kRefresh[] = L"最新の情報に更新";
inline constexpr wchar_t kCreatedLabel[] = L"作成日時 :";
inline constexpr wchar_t kCopyPicture[] = L"ｸﾘｯﾌﾟﾎﾞｰﾄﾞに画像をｺﾋﾟｰ";
inline constexpr wchar_t kBigPicture[] = L"元";
inline constexpr wchar_t kListIndexBackDesign[] = L"Label2";
inline constexpr wchar_t kListTip[] = L"Enterまたはダブルクリックで元画像を表示します。";

inline constexpr wchar_t kNewFolderName[] = L"新しいフォルダ";

inline constexpr wchar_t kConfirmDeleteFiles[] = L"削除しますか？";
inline constexpr wchar_t kDeleteFilesTitle[] = L"ファイルの削除";
inline constexpr wchar_t kConfirmDeleteFolder[] = L"フォルダ内のファイルも削除されます。";
inline constexpr wchar_t kDeleteFolderTitle[] = L"フォルダの削除";
inline constexpr wchar_t kDeleteFailed[] = L"削除に失敗しました。";
inline constexpr wchar_t kNoNewFolder[] = L"新規フォルダを作れません。";
inline constexpr wchar_t kNewFolderTitle[] = L"フォルダの新規作成";
inline constexpr wchar_t kRenameTitle[] = L"名前の変更";
inline constexpr wchar_t kCannotRead[] = L"ファイルが読めません。";
inline constexpr wchar_t kEnterFileName[] = L"ファイル名を入力して下さい。";
// The second line: the eleven characters, an ideographic space between neighbours.
inline constexpr wchar_t kForbiddenCharacters[] =
    L"ファイル名には次の文字は使えません。\r\n"
    L"\\\u3000/\u3000,\u3000;\u3000:\u3000*\u3000?\u3000\"\u3000<\u3000>\u3000|";
inline constexpr wchar_t kFileNameExists[] = L"指定されたファイル名は既に存在します。";
// A failed drop onto the tree is told under the application's title.
inline constexpr const wchar_t* kDropFailedTitle = kAppTitle;

// The tree's own words when it refuses a key, as the classic tree control put them.
inline constexpr wchar_t kKeyNotUnique[] = L"キーがコレクションの他の要素と重複しています。";
inline constexpr wchar_t kKeyInvalid[] = L"キーが無効です。";

}  // namespace trovell::texts
