#pragma once
// Every text of the capture windows that a person sees, spelled once.

namespace trovell::capture::texts {

// Never seen: the capture window has no caption bar.
inline constexpr wchar_t kCaptureCaption[] = L"1";
inline constexpr wchar_t kFrameTip[] = L"ドラッグを開始できます。";
// Nine blanks before the words, which centre them on the narrow caption bar.
inline constexpr wchar_t kDialogCaption[] = L"         トロベルに追加";
inline constexpr wchar_t kDropLabel[] = L"ここにドロップしてね";
inline constexpr wchar_t kLabelFont[] = L"ＭＳ Ｐゴシック";
inline constexpr wchar_t kCaptureFailed[] = L"画面を取り込めませんでした。";

}  // namespace trovell::capture::texts
