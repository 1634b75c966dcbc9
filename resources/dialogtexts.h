// The texts of the dialogs, exactly as the user sees them (UTF-8).
#pragma once

// clang-format off
namespace DialogText {
inline constexpr const char* Ok              = "OK";
inline constexpr const char* Cancel          = "ｷｬﾝｾﾙ";

inline constexpr const char* NewGameTitle    = "ゲーム開始";
inline constexpr const char* EngineWhite     = "Norvane vs あなた";
inline constexpr const char* EngineBlack     = "あなた vs Norvane";
inline constexpr const char* GameEntry       = "棋譜入力";

inline constexpr const char* PromotionTitle  = "昇格";
inline constexpr const char* PromotionPieces[4] = {"QUEEN", "ROOK", "BISHOP", "KNIGHT"};

inline constexpr const char* SearchTitle     = "検索";
inline constexpr const char* Name            = "名前";
inline constexpr const char* Eco             = "ECO";
inline constexpr const char* AnyEco          = "指定なし";
inline constexpr const char* Date            = "日付";
inline constexpr const char* YearRange       = "<= 年 <=";
inline constexpr const char* Result          = "結果";
inline constexpr const char* Results[3]      = {"1-0", "0-1", "1/2-1/2"};
inline constexpr const char* SamePosition    = "同一局面";
inline constexpr const char* BadYears        = "年が不正です";

inline constexpr const char* GameInfoTitle   = "ゲーム情報";
inline constexpr const char* Event           = "イベント";
inline constexpr const char* Site            = "場所";
inline constexpr const char* Round           = "ラウンド";
inline constexpr const char* WhitePlayer     = "対戦者（白）";
inline constexpr const char* BlackPlayer     = "対戦者（黒）";
inline constexpr const char* OtherTags       = "その他";
// The result list in its order: index 0 to 3.
inline constexpr const char* ResultItems[4]  = {"*", "0-1", "1/2-1/2", "1-0"};

inline constexpr const char* AboutTitle      = "バージョン情報";
inline constexpr const char* Version         = "Norvane Version 1.1";
inline constexpr const char* AboutLine       = "チェスの対局と棋譜データベース";
inline constexpr const char* Associate       = "PGNファイル関連付け";

// Surnames offered in the search dialog's name list.
inline constexpr const char* PresetNames[19] = {
    "Alekhine", "Anand", "Botvinnik", "Capablanca", "Carlsen", "Euwe", "Fischer",
    "Karpov", "Kasparov", "Korchnoi", "Kramnik", "Lasker", "Morphy", "Petrosian",
    "Smyslov", "Spassky", "Steinitz", "Tal", "Topalov"};
}  // namespace DialogText
// clang-format on
