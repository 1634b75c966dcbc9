// The texts of the board view, exactly as the user sees them (UTF-8).
#pragma once

// clang-format off
namespace ViewText {
inline constexpr const char* Caption         = "Norvane";
inline constexpr const char* Resigns         = "負けました";
inline constexpr const char* Checkmate       = "checkmate!";
inline constexpr const char* Stalemate       = "stalemate!";

// The header of a game against the engine.
inline constexpr const char* ComputerEvent   = "Computer game";
inline constexpr const char* ComputerSite    = "Norvane";
inline constexpr const char* EngineName      = "Norvane";

// Save: the file dialog, and what went wrong (%1 the file, %2 the system's reason).
inline constexpr const char* SaveFilter      = "PGN files (*.pgn);;All Files (*.*)";
inline constexpr const char* SaveDefaultName = "untitle.pgn";
inline constexpr const char* SaveOpenFailed  = "%1 を開けません。棋譜は保存されていません。\n%2";
inline constexpr const char* SaveWriteFailed = "%1 に書き込めません。棋譜は保存されていません。\n%2";
// 対局棋譜: a played game could not be added to the games file (%1 the file, %2 the reason).
inline constexpr const char* GamesFileFailed = "対局棋譜 %1 に書き込めません。この対局は記録されていません。\n%2";
// The user's name in the games file when the system gives none.
inline constexpr const char* UserName        = "ユーザー";
// 上書き保存: the open file changed since it was read (%1 the file), and a failure (%2 the
// system's reason).
inline constexpr const char* OverwriteChanged = "%1 は読み込んだ後にほかのプログラムで変更されています。\n"
                                                "上書き保存はしませんでした。\n\n"
                                                "ファイルを読み込み直しますか？";
inline constexpr const char* OverwriteFailed = "%1 に上書き保存できません。ファイルは元のままです。\n%2";

// The question before a modified game is let go, and the offer of a game kept from a run that
// did not end normally.
inline constexpr const char* AskSaveChanges  = "棋譜が変更されています。保存しますか？";
inline constexpr const char* OfferRecovery   = "前回終了しなかったときの対局が残っています。\n"
                                               "この対局を開きますか？";

// Paste: clipboard text beyond the limit (%1 its size in bytes, %2 the limit).
inline constexpr const char* PasteTooLarge   = "クリップボードのテキストが大きすぎます (%1 バイト)。\n"
                                               "貼り付けられる棋譜は %2 バイトまでです。";
// Paste: text in which no game can be read.
inline constexpr const char* PasteNoGame     = "クリップボードのテキストから棋譜を読み込めませんでした。\n"
                                               "盤面の棋譜はそのままです。";
// Paste: a FEN whose position cannot stand (%1 why).
inline constexpr const char* PasteBadFen     = "貼り付けた FEN の局面は設定できません。\n%1\n"
                                               "盤面の棋譜はそのままです。";

// A game read only in part (%1 the move number, as "12." or "12...", %2 the move as written).
inline constexpr const char* GameBadMove     = "%1 %2 を読み込めません。\nその前の手までを表示します。";
inline constexpr const char* GameTooLong     = "棋譜が長すぎます。\n%1 の前の手までを表示します。";
inline constexpr const char* GameBadText     = "棋譜の %1 バイト目を読み込めません。\n"
                                               "その前の手までを表示します。";
inline constexpr const char* GameBadSetUp    = "開始局面 (FEN) を読み込めません。\n指し手は表示しません。";
// The same with why (%1).
inline constexpr const char* GameBadSetUpWhy = "開始局面 (FEN) を読み込めません。\n%1\n指し手は表示しません。";
inline constexpr const char* GameOtherVariant = "標準のチェスではない棋譜です。\n指し手は表示しません。";

// Typed moves on the status line (%1 the text typed, %2 the legal moves it fits).
inline constexpr const char* TypedPartial    = "入力: %1    候補: %2";
inline constexpr const char* TypedComplete   = "入力: %1    Enter で %2 を指します";
inline constexpr const char* TypedAmbiguous  = "入力: %1    どの駒の手か決まりません: %2";
inline constexpr const char* TypedIllegal    = "入力: %1    指せる手がありません";
inline constexpr const char* TypedUnfinished = "入力: %1    手が決まっていません: %2";
inline constexpr const char* TypedNotYourTurn = "入力: %1    いまは指せません (相手の手番です)";
inline constexpr const char* TypedNoInput    = "入力: %1    いまは手を入力できません";
inline constexpr const char* TypedEarlierPosition = "入力: %1    過去の局面では指せません";
// The move line while the user looks back during a game against the engine.
inline constexpr const char* EarlierPosition = "(過去の局面を表示中)";
} // namespace ViewText
// clang-format on
