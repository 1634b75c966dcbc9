// The command identifiers of the menus, keys and toolbar, and the status bar panes. The
// numbers are the program's resource numbers and never change.
#pragma once

// clang-format off
inline constexpr int CmdGameList        = 32771;  // show or hide the game list
inline constexpr int CmdForward         = 32773;
inline constexpr int CmdBack            = 32774;
inline constexpr int CmdFirst           = 32775;  // first position
inline constexpr int CmdLast            = 32776;  // last position
inline constexpr int CmdSearch          = 32781;
inline constexpr int CmdFlip            = 32783;  // flip board
inline constexpr int CmdFileInfo        = 32787;  // file information
inline constexpr int CmdShowGameText    = 32788;  // game list: show as text
inline constexpr int CmdNewGame         = 32798;
inline constexpr int CmdReload          = 32800;
inline constexpr int CmdCopyGame        = 32801;  // copy game record
inline constexpr int CmdShowRecord      = 32803;  // show game record
inline constexpr int CmdCopyGameText    = 32825;  // game list: copy text
inline constexpr int CmdPasteGame       = 32829;  // paste game record
inline constexpr int CmdSave            = 32830;
inline constexpr int CmdCopyBoard       = 32831;
inline constexpr int CmdReplay          = 32833;
inline constexpr int CmdResearch        = 32834;
inline constexpr int CmdCoordinates     = 32836;
inline constexpr int CmdTakeBack        = 32838;
inline constexpr int CmdEditGameInfo    = 32839;
inline constexpr int CmdEndGame         = 32840;
inline constexpr int CmdMoveNow         = 32841;  // the engine plays its best move so far
inline constexpr int CmdPlayFromHere    = 32842;  // a game against the engine from the board
inline constexpr int CmdStrength        = 32843;  // the engine's strength dialog
inline constexpr int CmdHighlights      = 32851;  // show or hide the board's highlights
inline constexpr int CmdNamesEnglish    = 32852;  // opening names in English
inline constexpr int CmdNamesJapanese   = 32853;  // opening names in Japanese
inline constexpr int CmdKeepLastOpening = 32854;  // keep the last opening name off the table
inline constexpr int CmdAnalysis        = 32855;  // the engine analyses the shown position
inline constexpr int CmdEngines         = 32856;  // the engines dialog
inline constexpr int CmdOverwrite       = 32857;  // the loaded game replaced in its file
inline constexpr int CmdCopyAnnotated   = 32900;  // copy the game with its annotations
inline constexpr int CmdUndoEdit        = 32901;  // the game's edits: undo, redo
inline constexpr int CmdRedoEdit        = 32902;
inline constexpr int CmdAddVariation    = 32903;  // the research line kept as a side line
inline constexpr int CmdPromoteLine     = 32904;
inline constexpr int CmdDeleteLine      = 32905;
inline constexpr int CmdDeleteAfter     = 32906;
inline constexpr int CmdEditComment     = 32907;
inline constexpr int CmdMarkNone        = 32910;  // the move marks: 32910 + glyph (1-6)
inline constexpr int CmdChooseColumns   = 32870;  // the game list's column menu
inline constexpr int CmdResign          = 32873;  // the user resigns the game against the engine
inline constexpr int CmdClaimDraw       = 32874;  // the user claims a draw (threefold, fifty moves)
inline constexpr int CmdOfferDraw       = 32875;  // the user offers the engine a draw
inline constexpr int CmdReviewGame      = 32880;  // review the game on the board, or cancel it
inline constexpr int CmdReviewSettings  = 32881;  // the review's budget dialog
inline constexpr int CmdEvalGraph       = 32882;  // show or hide the evaluation graph
inline constexpr int CmdSaveEvalGraph   = 32883;  // save the evaluation graph as a PNG
inline constexpr int CmdMoveAnimation   = 32920;  // the move animation on or off
inline constexpr int CmdKeepFileOnNew   = 32921;  // New keeps the open file, on or off
inline constexpr int CmdFileNew         = 57600;
inline constexpr int CmdFileOpen        = 57601;
inline constexpr int CmdRecentFile      = 57616;  // to 57631
inline constexpr int CmdAppExit         = 57665;
inline constexpr int CmdAppAbout        = 57664;
inline constexpr int CmdViewToolbar     = 59392;
inline constexpr int CmdViewStatusBar   = 59393;

inline constexpr int PaneFileSize       = 61205;
inline constexpr int PaneGameCount      = 61206;
inline constexpr int PaneMoveInfo       = 61207;
inline constexpr int PanePathName       = 61208;
// clang-format on
