// The texts of a game against the engine with a clock and the rules that end it, exactly as the
// user sees them (UTF-8).
#pragma once

// clang-format off
namespace GameText {
// The new-game dialog's time control.
inline constexpr const char* TimeControlGroup = "持ち時間";
inline constexpr const char* TimeControlNone  = "なし";
// A preset: %1 minutes, %2 seconds added per move.
inline constexpr const char* TimeControlPreset = "%1分 + %2秒";
inline constexpr const char* TimeControlCustom = "その他";
inline constexpr const char* Minutes          = "分";
inline constexpr const char* SecondsPerMove   = "秒/手";
inline constexpr const char* BlackDiffers     = "黒の持ち時間を別にする";
inline constexpr const char* WhiteLabel       = "白";
inline constexpr const char* BlackLabel       = "黒";

// How a game ended: the status line, the message box and the move list.
inline constexpr const char* WhiteWinsOnTime  = "白の勝ち (黒の時間切れ)";
inline constexpr const char* BlackWinsOnTime  = "黒の勝ち (白の時間切れ)";
inline constexpr const char* DrawOnTime       = "引き分け (時間切れ、相手にメイトの駒がありません)";
inline constexpr const char* DrawDeadPosition = "引き分け (メイトできる駒がありません)";
inline constexpr const char* DrawFivefold     = "引き分け (同一局面 5 回)";
inline constexpr const char* DrawSeventyFive  = "引き分け (75 手ルール)";
inline constexpr const char* DrawThreefold    = "引き分け (同一局面 3 回の申請)";
inline constexpr const char* DrawFifty        = "引き分け (50 手ルールの申請)";
inline constexpr const char* DrawAgreed       = "引き分け (合意)";
inline constexpr const char* WhiteResigns     = "黒の勝ち (白の投了)";
inline constexpr const char* BlackResigns     = "白の勝ち (黒の投了)";
inline constexpr const char* NothingToClaim   = "いまは引き分けを申請できません。\n"
                                                "(同一局面 3 回、または 50 手ルールのときに申請できます)";
inline constexpr const char* OfferDeclined    = "Norvane は引き分けの提案を断りました。";
inline constexpr const char* ResignConfirm    = "投了しますか?";
} // namespace GameText
// clang-format on
