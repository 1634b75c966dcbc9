// The texts of the search dialog and the player's record (UTF-8), exactly as the user sees them.
#pragma once

// clang-format off
namespace SearchText {
inline constexpr const char* Side          = "手番";
inline constexpr const char* Sides[3]      = {"どちらでも", "白", "黒"};
inline constexpr const char* EcoRange      = "ECOの範囲";
inline constexpr const char* EcoRangeHint  = "B90-B99";
inline constexpr const char* DateHint      = "2012.03.01";
inline constexpr const char* Through       = "～";
inline constexpr const char* Rating        = "レート";
inline constexpr const char* RatingOf[3]   = {"どちらか", "両方", "指定の選手"};
inline constexpr const char* Event         = "大会";
inline constexpr const char* Site          = "場所";
inline constexpr const char* Moves         = "手数";
inline constexpr const char* NotSet        = "指定なし";
inline constexpr const char* ShowAll       = "すべて表示(&A)";
inline constexpr const char* PlayerRecord  = "選手情報(&P)";
inline constexpr const char* BadDate       = "日付は 2012.03.01、2012.03 または 2012 の形で入力してください";
inline constexpr const char* BadDates      = "日付の範囲が不正です";
inline constexpr const char* BadEcoRange   = "ECOの範囲は B90-B99 の形で入力してください";
inline constexpr const char* BadRatings    = "レートの範囲が不正です";
inline constexpr const char* BadMoves      = "手数の範囲が不正です";
inline constexpr const char* NoName        = "選手情報を見る選手の名前を入力してください";
}  // namespace SearchText
// clang-format on
