// The texts of the study panes (move list, opening explorer) and of the progress pane,
// exactly as the user sees them (UTF-8).
#pragma once

// clang-format off
namespace StudyText {
// The tabs beside the board.
inline constexpr const char* GameListTab     = "ゲームリスト";
inline constexpr const char* MoveListTab     = "棋譜";
inline constexpr const char* ExplorerTab     = "定跡ツリー";

// The opening explorer: its columns, its summary line (%1 games through the position) and
// its states.
inline constexpr const char* ExplorerColumns[] = {"手", "局数", "白勝", "引分", "黒勝", "最終年",
                                                  "オープニング"};
inline constexpr const char* ExplorerGames   = "この局面: %1局";
inline constexpr const char* ExplorerNoFile  = "棋譜ファイルを開くと、その棋譜から定跡ツリーを作ります";
inline constexpr const char* ExplorerBuilding = "定跡ツリーを作成しています… %1%";
inline constexpr const char* ExplorerCancelled = "定跡ツリーの作成を中止しました";
inline constexpr const char* ExplorerFileChanged = "作成中にファイルが変更されたため、定跡ツリーを作成できませんでした";
inline constexpr const char* ExplorerDepth   = "この局面はツリーにありません (各棋譜の最初の%1手まで)";
inline constexpr const char* ExplorerBuild   = "定跡ツリーを作成";
inline constexpr const char* ExplorerListGames = "この局面の棋譜を一覧";

// A search that matched no game.
inline constexpr const char* NoMatch         = "条件に合う棋譜はありませんでした。\n一覧はそのままです。";

// The progress pane of the status bar: what runs, beside its percent done.
inline constexpr const char* ProgressCancel  = "中止";
inline constexpr const char* BuildingTree    = "定跡ツリー作成中";
inline constexpr const char* OpeningFile     = "ファイル読み込み中";
inline constexpr const char* ReindexingFile  = "ファイル読み直し中";
inline constexpr const char* SearchingPosition = "局面検索中";

// The status bar after the user cancelled one of them.
inline constexpr const char* OpenCancelled   = "ファイルの読み込みを中止しました";
inline constexpr const char* ReindexCancelled = "ファイルの読み直しを中止しました";
inline constexpr const char* SearchCancelled = "局面検索を中止しました";
} // namespace StudyText
// clang-format on
