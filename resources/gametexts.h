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

// The new-game dialog's opponent: the built-in engine or one of the engines dialog's, with the
// strength it offers.
inline constexpr const char* OpponentGroup    = "相手";
inline constexpr const char* BuiltInOpponent  = "Norvane (内蔵)";
// The colour choices with a UCI engine picked: %1 the engine.
inline constexpr const char* OpponentWhite    = "%1 vs あなた";
inline constexpr const char* OpponentBlack    = "あなた vs %1";
inline constexpr const char* BuiltInStrength  = "強さは「エンジンの強さ」の設定で指します";
inline constexpr const char* LimitStrength    = "強さを制限";
inline constexpr const char* EloLabel         = "レーティング";
inline constexpr const char* SkillLabel       = "Skill Level";
inline constexpr const char* Probing          = "調べています...";
inline constexpr const char* FullStrengthOnly = "このエンジンには強さの設定がありません (最大の強さで指します)";
// The engine's player name with its level: %1 the engine, %2 the rating or the skill level.
inline constexpr const char* OpponentElo      = "%1 (Elo %2)";
inline constexpr const char* OpponentSkill    = "%1 (Skill Level %2)";
// An engine that answered a move that is not legal: %1 the engine, %2 its move.
inline constexpr const char* IllegalEngineMove = "エンジン「%1」が反則の手 (%2) を指したため、対局を中断しました。";
// The engine stopped during a game: %1 what went wrong.
inline constexpr const char* GameInterrupted  = "%1\n対局を中断しました (棋譜はそのまま残ります)。";

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
inline constexpr const char* OfferDeclined    = "%1 は引き分けの提案を断りました。";
inline constexpr const char* ResignConfirm    = "投了しますか?";
} // namespace GameText
// clang-format on
