// CNorvaneView: the board window. It shows the Board as one sprite per piece over the board
// background, composed in the off-screen buffer, and carries the play: pieces picked up and
// dropped with the mouse, the game against the engine, stepping through the current game,
// automatic replay, a side line for analysis (research) and the commands on the current game.
//
// Every decision reads and writes plain state: m_mode, the current game (gameHeader,
// gameMoves, gamePly) and the Board. The window system is reached only through the small
// virtual platform operations at the end of the class, which tests replace.
#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QVariantAnimation>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/board.h"
#include "engine/drawrules.h"
#include "engine/gameclock.h"
#include "records/game.h"
#include "records/gametree.h"
#include "view/boardscale.h"
#include "view/boardarrows.h"
#include "view/highlights.h"
#include "app/backgroundtask.h"
#include "engine/enginesearch.h"
#include "view/osbview.h"
#include "app/enginelist.h"
#include "app/opponent.h"

class CCommandTable;
class OpponentEngine;
class CNorvaneDoc;
class CSprite;
struct SaveCalls;

// Bits of m_mode. A change of game state keeps the display bits (0xF00) and replaces the rest.
// clang-format off
inline constexpr std::uint32_t ModePlaying     = 0x1;    // the user's moves go into the game
inline constexpr std::uint32_t ModeViewing     = 0x2;    // a stored or finished game is shown
inline constexpr std::uint32_t ModeReplaying   = 0x10;   // automatic replay is running
inline constexpr std::uint32_t ModeResearch    = 0x20;   // a side line is explored
inline constexpr std::uint32_t ModeFlipped     = 0x100;  // seen from Black's side
inline constexpr std::uint32_t ModeCoordinates = 0x200;  // the coordinate strips are shown
inline constexpr std::uint32_t DisplayModes    = 0xF00;

// m_engineSide: the colour the engine plays, or nobody (game entry).
inline constexpr int EngineNone = 2;

// The replay timer: its number and its standard period.
inline constexpr int ReplayTimerId     = 16;
inline constexpr int ReplayIntervalMs  = 1000;

// Moves the user may enter on either line: the lines hold MaxGameMoves records, and the last
// ones are kept free for the terminating record.
inline constexpr int InputMoveLimit    = 510;

// Depth of a sprite at rest and of the carried one (nearer the viewer).
inline constexpr int RestingDepth      = 50;
inline constexpr int CarriedDepth      = 10;

// The settings key of the highlights' switch.
inline constexpr const char* HighlightsKey = "board/highlights";
// The settings key of 上書き保存's backup: the previous file kept as FILE.bak (on by default).
inline constexpr const char* KeepBackupKey = "save/keepBackup";
// The settings key of the move animation (off by default: pieces jump) and how long a slide
// takes.
inline constexpr const char* MoveAnimationKey = "board/animation";
inline constexpr int         MoveAnimationMs  = 150;
// The settings key of New keeping the open file, its list and panes (off by default: New
// closes the file).
inline constexpr const char* KeepFileOnNewKey = "play/keepFileOnNew";

// Clipboard text above this many bytes is refused by paste, with a message.
inline constexpr qsizetype PasteLimit  = 1024 * 1024;
// clang-format on

// The answers to the question before a modified game is let go.
enum class SaveAnswer { Save, Discard, Cancel };

// What the game-information dialog shows and hands back. result: 0 "*", 1 "0-1", 2 "1/2-1/2",
// 3 "1-0".
struct GameInfoValues {
    QString event, site, date, round, white, black;
    int     result = 0;
    QString eco;
    QString otherTags;
};

class CNorvaneView : public COSBView {
    Q_OBJECT
public:
    // Sets the square rectangles, clears the sprite map, the SAN tables, the research line and
    // the current game, and joins doc as its board view, which loads the images.
    explicit CNorvaneView(CNorvaneDoc* doc, QWidget* parent = nullptr);
    // A running think is stopped and dropped; the sprites stop reporting to the view.
    ~CNorvaneView() override;

    CNorvaneDoc* GetDocument() const;

    // --- Framework overrides -------------------------------------------------------------
    // The background within clip (all of it when null), then every sprite from the deepest to
    // the nearest, each clipped.
    void Render(const QRect* clip) override;
    // After every New and Open: with games in the document the current game is shown for
    // viewing, otherwise a game against the engine is ready (the user has White).
    void OnInitialUpdate() override;
    // HintReloadGame: the current game has just been filled; it is shown for viewing from its
    // start. Other hints leave the board alone.
    void OnUpdate(CView* sender, int hint) override;

    // Mouse, at points of the buffer (device pixels): the first click on an own piece picks
    // it up, the next one drops it; or the piece is dragged and released on its target. The
    // right button puts a carried piece back.
    void OnLButtonDown(QPoint p);
    void OnLButtonUp(QPoint p);
    void OnMouseMove(QPoint p);
    void OnRButtonDown();
    // Escape, and every command before it runs: a carried piece goes back to its square.
    void CancelCarry() { PutBack(); }

    // --- The clock and the rules that end a game (view/clockedgame.cpp) --------------------
    // The time control of the next game against the engine (the new-game dialog's); none by
    // default, and never in game entry.
    TimeControl m_timeControl;
    // The game's clock: running while a timed game against the engine is played.
    const GameClock& Clock() const { return m_clock; }
    bool             ClockRunning() const { return m_clock.running() >= 0; }
    // Milliseconds on the view's monotonic clock, the game clock's time source.
    virtual std::int64_t ClockNow() const;
    // The flag timer fired: a fallen flag ends the game (loss on time, or a draw when the other
    // side cannot mate); otherwise it waits again.
    void OnFlagTimer();
    // How the finished game ended, for the status line and the move list; empty otherwise.
    const QString& EndReason() const { return m_endReason; }
    // The budget of the engine's next think: the desktop's, or its share of its clock.
    const ThinkLimits& NextThinkLimits() const { return m_thinkLimits; }
    // "投了": the user resigns the game against the engine (after asking).
    void OnResign();
    // "引き分けを申請": a threefold repetition or the fifty-move rule, claimed on the user's turn.
    void OnClaimDraw();
    // "引き分けの提案": the engine accepts when its last evaluation is clearly against it.
    void OnOfferDraw();
    // A game against the engine in play on the user's turn: resign, claim and offer apply.
    bool CanUseGameEnd() const;

    // --- The opponent (view/uciopponent.cpp) ------------------------------------------------
    // The opponent of the next game against the engine (the new-game dialog's, kept in the
    // settings): the built-in engine unless a UCI engine is chosen.
    OpponentChoice m_opponent;
    // The UCI engine the game in play is against; none: the built-in engine.
    const std::optional<EngineEntry>& GameOpponent() const { return m_gameOpponent; }
    // The engine's process of the game in play, once started (null otherwise).
    const OpponentEngine* OpponentProcess() const { return m_opponentEngine; }
    // The name the engine's side goes by: "Norvane", or the UCI engine's with its level.
    QString OpponentName() const;

    // --- Typed moves (view/typedmove.cpp) ---------------------------------------------------
    // A key typed with the board focused: letters, digits and the marks of SAN or coordinates
    // add to the typed text, Backspace takes one back, Escape drops it, Enter plays the move it
    // names (in play on the user's turn; while viewing as a click of the explorer would) or
    // says why not. The status line shows the text with the legal moves it fits. False for
    // other keys, which go on to the window.
    bool OnTypedKey(int key, const QString& text);
    const QString& TypedText() const { return m_typed; }
    // Drops the typed text and gives the status line back.
    void ClearTypedMove();
    // A tick of timer id: the replay plays the next move or stops at the end of the line.
    void OnTimer(int id);

    // --- Size ------------------------------------------------------------------------------
    // The board grows with the view in whole steps of pitch and shrinks back; below the
    // standard size it keeps that size (the pane around it scrolls).
    const BoardGeometry& Geometry() const { return m_geometry; }
    // Draws the board at device pitch: the images at that size, the squares' rectangles, and
    // every sprite again on its square. A carried piece is put back first. Nothing when the
    // board already has that pitch.
    void SetPitch(int pitch);
    // The pitch that fits the view's size on its screen.
    void FitToWindow();

    // --- Highlights ---------------------------------------------------------------------------
    // The last move's two squares (board squares; NoSquare clears them). Every step along
    // the shown line sets them from that line; a caller that plays a move in another way
    // tells the highlights here.
    void SetLastMoveHighlight(int from, int to);
    // The menu's switch, remembered in the settings.
    void                   ShowHighlights(bool shown);
    bool                   HighlightsShown() const { return m_highlights.shown; }
    const BoardHighlights& Highlights() const { return m_highlights; }

    // --- Analysis arrows ------------------------------------------------------------------
    // An arrow for the first move of each line of snapshot, the best line's strongest; null
    // clears them. Only the squares the old and the new arrows cover are drawn again.
    void                           ShowAnalysisArrows(const AnalysisSnapshot* snapshot);
    const std::vector<BoardArrow>& AnalysisArrows() const { return m_arrows; }

    // --- Geometry and sprites -------------------------------------------------------------
    // Board square s on the screen: s, or 63 - s when the board is flipped.
    int DisplaySquare(int s) const { return (m_mode & ModeFlipped) ? 63 - s : s; }

    // Makes the picture from scratch: one sprite per piece of the Board, the coordinate
    // strips when they are on, then the whole board rendered and drawn.
    void RebuildSprites();
    // Moves the sprites for m, which is about to be made (sideToMove is its mover). False,
    // changing nothing, when a sprite it needs is not on its square.
    bool ApplyMoveToSprites(const Move& m);
    // Moves the sprites back for m, which is about to be unmade (sideToMove is the colour
    // that did not make it). False, changing nothing, when a sprite it needs is missing.
    bool RetractMoveOnSprites(const Move& m);

    // --- Move animation (view/moveanimation.cpp) -------------------------------------------
    // With the setting on, a single step (a move played, the engine's reply, one step along the
    // shown line) slides the moved piece, and a castle's rook, from where it stood to its
    // square; a captured piece stays until the slide ends. Jumps (Home, End, a click in the
    // move list) and a replay faster than a slide do not slide.
    void SetMoveAnimation(bool on);
    bool MoveAnimationOn() const { return m_animate; }
    // The running slide; tests drive it to its end by its own clock.
    QVariantAnimation& MoveAnimation() { return m_slide; }
    // A running slide ends at once: every sprite on its square, a captured one gone.
    void FinishMoveAnimation();

    // --- Play and navigation ----------------------------------------------------------------
    // One move along the shown line (the research line in research mode, else the game): the
    // sprites, the Board, the counter, the screen and the move line. Nothing at the line's end
    // or when the sprites do not match.
    void StepForward();
    void StepBack();
    // Back to the start of the line, or on to its end, drawn once.
    void StepToFirst();
    void StepToLast();
    // A move chosen beside the board (the opening explorer): while a game is viewed it is
    // the game's next move, stepped to, or else it starts (or goes on with) research from the
    // shown position. Nothing while playing or replaying, or when the line is full.
    void PlayChosenMove(const Move& m);
    // An engine's line chosen beside the board (the analysis pane): its moves, legal in turn
    // from the shown position, are played as research from there, drawn once. Nothing while
    // playing or replaying; the line stops where the research line is full.
    void PlayResearchLine(const std::vector<Move>& line);
    // Shows the position after ply moves of the game (research false: research ends first)
    // or of the research line, drawn once. Nothing while playing or replaying.
    void GoToPly(int ply, bool research);
    // Shows the position after the move at path in the current game's tree (the game's start
    // for the empty path): a main-line move in viewing, a side-line move as research from the
    // position its line leaves the main line, the research line holding the whole side line
    // to its end so that stepping goes on along it. Drawn once; nothing while playing or
    // replaying, or when path leads nowhere.
    void GoToPath(const NodePath& path);
    // The moves of the side line through path from where it leaves the main line to the end
    // of path's own line, at most max of them, into out (ended by an empty record when there
    // is room); how many, with the index of path's move among them in shown.
    static int SideLineMoves(const NodePath& path, Move* out, int max, int& shown);
    // Steps the viewed game forward from its start to the first position whose key is key;
    // stays at the start when the game never reaches it.
    void StepToPosition(std::uint64_t key);
    // The engine starts choosing its move for the side to move, in the background on a copy of
    // the Board (m_thinker, see docs/threads.md); the window stays alive meanwhile and the
    // status line tells how the think goes. Its move is played by PlayEngineReply when the
    // think ends.
    void EngineReply();
    // Plays the engine's choice m (score from thinkMove), then tells how the game stands:
    // resignation, checkmate, stalemate, or a beep for the user's turn.
    void PlayEngineReply(const Move& m, int score);
    // The engine is thinking (the built-in one on its worker, on a Board of its own, or a UCI
    // opponent in its process): its move is still to come, so the game must not change.
    bool IsThinking() const;
    // The task the engine thinks in, and the last think started (none before the first).
    const CBackgroundTask& Thinker() const { return m_thinker; }
    const EngineSearch*    LastThink() const { return m_search.get(); }
    // Stops a running think at once and plays its best move so far, so that the game has lost
    // nothing before New or Open replace it. Nothing when not thinking.
    void ReclaimEngine();
    // Stops a running think and drops its move: the window is closing.
    void AbandonThinking();
    // Writes the move-information line of the status bar into the document.
    void ComposeMoveInfo();

    // --- Commands (the handlers of the command table) ------------------------------------
    void OnNewGame();
    void OnForward() { StepForward(); }
    void OnBack() { StepBack(); }
    void OnFirst() { StepToFirst(); }
    void OnLast() { StepToLast(); }
    void OnTakeBack();
    void OnEndGame();
    void OnReplay();
    void OnResearch();
    void OnFlip();
    void OnCoordinates();
    void OnCopyBoard();
    void OnCopyGame();
    // Copies the whole tree: comments, marks and side lines.
    void OnCopyAnnotatedGame();
    void OnPasteGame();
    // A pasted line that is a FEN (with or without its counters) sets up its position as a
    // new game; false when bytes are no FEN line.
    bool PasteFen(const QByteArray& bytes);
    void OnShowRecord();
    // "保存": the save-as dialog, then the game appended to the chosen file; a failure takes
    // the file back to what it held and says why. SaveGameAs answers whether it was saved.
    void OnSave() { SaveGameAs(); }
    bool SaveGameAs();
    // "上書き保存": the game replaces the loaded game in the open file (savecommands.cpp).
    void OnOverwrite();
    bool CanOverwrite() const;
    // The current game is about to be replaced (new game, open, another game, paste) or the
    // program to end: a modified game makes the user choose 保存 / 保存しない / キャンセル.
    // False keeps the game (cancelled, or its save cancelled or failed); true lets it go,
    // and the recovery file with it.
    bool ConfirmDiscardGame();
    // Whether the current game holds what no file holds yet: moves played since it was
    // loaded or last saved, edits. The title bar shows it.
    void SetGameModified(bool modified);
    bool IsGameModified() const;
    // --- Editing the game's tree (gameediting.cpp) ------------------------------------------
    // The shown position as a path into the tree (records/gametree.h): the game's moves up to
    // gamePly, then as many of the research moves as follow the tree's moves (a side line or
    // the continuation). Into matched, when given, how many research moves it covers.
    NodePath ShownPath(int* matched = nullptr) const;
    // 変化として追加: the research line kept in the tree from the move where it left the game.
    void OnAddVariation();
    bool CanAddVariation() const;
    // 本線にする, 変化を削除: the side line of the shown move made the main line, or deleted.
    void OnPromoteLine();
    void OnDeleteLine();
    bool ShowsSideLine() const;
    // ここから後を削除: the moves after the shown position in its line.
    void OnDeleteAfter();
    bool HasMoveAfter() const;
    // コメントを編集...: the comments before and after the shown move.
    void OnEditComment();
    // The shown move's mark (glyph 1-6; 0 takes it off).
    void OnSetMark(int mark);
    bool ShowsMove() const;
    // 元に戻す, やり直し.
    void OnUndoEdit();
    void OnRedoEdit();
    bool CanEdit() const;
    // Adds the editing commands to the command table.
    void AddEditCommands(CCommandTable& table);
    // After an edit: the game derived from the tree again, the position after the move at
    // path shown (a side line's as research), and the modified mark from the history.
    void ShowEditedPath(const NodePath& path);

    // The file a game in progress is written to after each move (empty: none), so that a
    // crash loses at most the last move.
    void           SetRecoveryPath(const QString& path) { m_recoveryPath = path; }
    const QString& RecoveryPath() const { return m_recoveryPath; }
    // At start: a recovery file left by a run that did not end normally is offered; yes loads
    // its game as the current one (modified, the file kept until the game is saved or let
    // go), no removes it. True when a game was restored.
    bool OfferRecovery();
    void OnEditGameInfo();
    // "今すぐ指す": the search stops and its best move so far is played.
    void OnMoveNow();
    // "エンジンの強さ...": the strength dialog; the level is kept in the settings.
    void OnStrength();
    // "この局面から対局": a game against the engine from the position on the board.
    void OnPlayFromHere();

    // Adds the commands of a game's end: resign, claim a draw, offer a draw.
    void RegisterGameEndCommands(CCommandTable& table);

    // Enable rules of the commands that depend on the play state.
    bool IsReplaying() const { return (m_mode & ModeReplaying) != 0; }
    bool CanNavigate() const;
    // A game against the engine is in play (not game entry, not viewing).
    bool PlaysEngine() const { return (m_mode & ModePlaying) && m_engineSide != EngineNone; }
    // The moves of the current game's main line as the globals hold them.
    int GameLength() const;
    // In a game against the engine the board shows a position before the game's last one:
    // the user looks back, no move can be made there.
    bool ShowsEarlierPosition() const { return PlaysEngine() && gamePly < GameLength(); }
    // The side to move at the game's last position, whatever position is shown.
    int GameSideToMove() const { return board.sideToMove ^ ((GameLength() - gamePly) & 1); }
    // Back to the game's last position, drawn once; nothing when it is shown.
    void GoToGameEnd();
    bool HasNextMove() const;
    bool HasPreviousMove() const;
    bool CanTakeBack() const;
    // Commands that use the Board or change the game: neither replaying nor thinking.
    bool CanUseGame() const { return !IsReplaying() && !IsThinking(); }

    // Adds every command of the board view to table: its handler, enable and check rules.
    void RegisterCommands(CCommandTable& table);

    // The replay's period; tests shorten it.
    void SetReplayInterval(int ms) { m_replayTimer.setInterval(ms); }
    const QTimer& ReplayTimer() const { return m_replayTimer; }

    // The play state. The sprites belong to the document's list; the view only points at them.
    QPoint        m_grabOffset;        // mouse minus the carried sprite's position at pick-up
    CSprite*      m_pHeld = nullptr;   // the carried sprite; the document's list owns it
    CSprite*      m_squareSprites[64]; // by display square; the document's list owns them
    QRect         m_squareRects[64];   // by display square, in buffer pixels
    int           m_pickSquare    = NoSquare; // board square the carried piece came from
    std::uint32_t m_mode          = 0;
    int           m_engineSide    = Black;
    int           m_researchCount = 0;           // research moves made on the Board
    Move          m_researchMoves[MaxGameMoves]; // ended by the first record whose piece is 0
    char          m_researchSan[MaxGameMoves][8];
    char          m_gameSan[MaxGameMoves][8]; // SAN of each of gameMoves
    int           m_strengthLevel; // the engine's level (engine/strength.h), from the settings

protected:
    // --- Platform operations, replaced by tests --------------------------------------------
    // The comment dialog: false when cancelled.
    virtual bool AskComments(QString& before, QString& after);
    // A message box over the view with the caption "Norvane" and an OK button.
    virtual void MessageBox(const QString& text);
    virtual void Beep();
    // The promotion dialog; choice 0 QUEEN, 1 ROOK, 2 BISHOP, 3 KNIGHT. False when cancelled.
    virtual bool AskPromotion(int& choice);
    // The new-game dialog; choice 0 the engine has White, 1 Black, 2 nobody. False: cancelled.
    virtual bool AskNewGame(int& choice);
    // The game-information dialog over values. False when cancelled.
    virtual bool AskGameInfo(GameInfoValues& values);
    // The save-as dialog for a PGN file; an empty answer means cancelled.
    virtual QString AskSavePath();
    // The question before a modified game is let go: 保存 / 保存しない / キャンセル.
    virtual SaveAnswer AskSaveChanges();
    // A yes/no question; true for yes.
    virtual bool AskYesNo(const QString& text);
    // The system calls the saves write through; tests make them fail.
    virtual const SaveCalls& FileCalls();
    virtual void    StartReplayTimer();
    virtual void    StopReplayTimer();
    virtual void    SetWaitCursor(bool wait);
    // The strength dialog opened at level; false when cancelled.
    virtual bool AskStrength(int& level);
    // The engine's choice for side (thinkMove under the desktop budget, reporting its
    // progress). Runs on the worker thread, on its own Board.
    virtual int Think(int side, Move* out);
    // The document's New: its contents dropped, then every view's OnInitialUpdate.
    virtual void NewDocument();

    // Qt's events, each handed to its handler above.
    void  mousePressEvent(QMouseEvent* event) override;
    void  mouseReleaseEvent(QMouseEvent* event) override;
    void  mouseMoveEvent(QMouseEvent* event) override;
    void  keyPressEvent(QKeyEvent* event) override;
    void  resizeEvent(QResizeEvent* event) override;
    void  showEvent(QShowEvent* event) override;
    QSize minimumSizeHint() const override;

private:
    // Places sprite (if any) on display square d.
    void Place(CSprite* sprite, int d);
    // Destroys the sprite on display square d, if any, and empties the square.
    void DestroyOn(int d);

    // Keeps the display bits and sets state (ModePlaying or ModeViewing).
    void SwitchTo(std::uint32_t state) { m_mode = (m_mode & DisplayModes) | state; }
    // Empties the research line and the SAN tables as asked.
    void ClearResearch();
    void ClearGameSan();
    // A fresh game against the engine: empty header, no ECO code, "Computer game" at
    // "Norvane" today, and "Norvane" as the engine's player name.
    void PrepareComputerGame(int engineSide);
    // The current game was replaced: show it for viewing from its start.
    void LoadForViewing();
    // The carried piece, if any, goes back to its square.
    void PutBack();
    // The drop of the carried piece at p: a move when it is legal (then the engine's reply),
    // the piece put back on its own square, or kept in hand.
    void DropAt(QPoint p);
    // The display square whose rectangle holds p, or -1.
    int DisplaySquareAt(QPoint p) const;

    // Takes next as the highlights; the squares that change are redrawn.
    void UpdateHighlights(const BoardHighlights& next);
    // The shown position's marks: the last move of the shown line and a king in check. The
    // whole board is about to be drawn, so nothing is marked dirty.
    void MarkShownPosition();
    // The user's legal move m in play or research, as a drop plays it: stored, stepped to,
    // then the engine's reply or the end of a game in entry.
    void PlayUserMove(const Move& m);
    // Enter: the typed text's move, or the reason it is none, on the status line.
    void EnterTypedMove();
    // The typed text and what it fits, on the status line.
    void ShowTypedMove();
    // Stores the user's move m at the end of the shown line, cutting off what followed.
    void StoreUserMove(const Move& m);
    // Stores the engine's move m at gamePly, cutting off what followed.
    void StoreGameMove(const Move& m);
    // The game's result from the colour that won (or Drawn), into the information word.
    void SetResult(int resultBit);
    // One step without redrawing; false when there was nothing to do or the sprites refused.
    // With animate (and the setting on) the step's pieces then slide from where they stood.
    bool StepForwardQuietly(bool animate = false);
    bool StepBackQuietly(bool animate = false);
    // A sprite's slide: from where it stood to its square's place.
    struct Slide {
        CSprite* sprite;
        QPoint   from, to;
    };
    // The slides of m about to be made (forward) or unmade, by display squares: each sprite's
    // square before the step, its place now, and its square after. A forward capture's piece
    // is taken off its square into m_vanishing, to go when the slide ends.
    struct PendingSlide {
        int    before, after;
        QPoint from;
    };
    std::vector<PendingSlide> PrepareSlides(const Move& m, bool forward);
    // After the step: the sprites back where they stood, then the slide starts.
    void StartSlides(const std::vector<PendingSlide>& pending);
    // One frame of the slide at progress (0 to 1), drawn.
    void SlideFrame(double progress);
    void EndSlides();
    // Reads the setting and joins the slide's progress to its frames.
    void ConnectMoveAnimation();
    // The whole board composed and drawn once, the move line, and hint 4 to the other views.
    void ShowStep();
    // Stops a running replay: timer, mode bit and the document's flag.
    void StopReplay();
    // The orientation of a new game or of a game loaded: the user's own turn of the board
    // (OnFlip), or Black at the bottom when the user plays Black against the engine. True
    // when the orientation changed (the sprites are then to be rebuilt).
    bool TurnBoardFor(int engineSide);
    // New without closing the file: the view's state reset as a New does it, the document's
    // file, list and panes kept.
    void ResetForNewGame();
    // The Board back at the shown position after a record was written (which leaves it after
    // the game's last move): the game's start, its first gamePly moves, then the research line.
    void RestoreShownPosition();
    // The current game as PGN with CR LF line ends, the shown position restored afterwards.
    QByteArray GameRecordText();

    // Reads the strength level from the settings and sets up the status line's ticker.
    void ConnectEngine();
    // The think has ended with move m and its score: the status line is given back and the
    // move played.
    void FinishThinking(const Move& m, int score);
    // Asks the running think to stop at its next clock poll; it then answers its best move.
    void RequestStop();
    // The think's marks go: the ticker, the wait cursor, the move line before it.
    void ClearThinkingMarks();
    // The status line while the engine thinks: seconds, depth, best move so far.
    void ShowThinking();
    // A game in play ends in the position on the board when its side to move is mated or
    // stalemated: the result is set and the move line shows it. False when the game goes on.
    bool RecordGameEnd();

    // A move was just added to the game in play against the engine (the Board after it): the
    // clock is pressed, and a flag that fell first, a dead position, a fivefold repetition or
    // the seventy-five-move rule ends the game. False when the game has ended.
    bool AfterGameMove();
    // Ends the game in play: the result (WhiteWon, BlackWon, Drawn), the reason shown, and the
    // Termination tag's value; the clock stops, the game is for viewing, the message box says it.
    void EndGame(int result, const char* reason, const char* termination);
    // The game's rules so far: its positions from its start to the Board, replayed (the Board
    // ends as it was).
    DrawHistory GameDrawHistory();
    // The engine, on its turn with score from its view, claims a draw it may claim when it
    // stands no better than equal; true when it did (the game has ended).
    bool EngineClaimsDraw(int score);
    // A new game against the engine starts its clock (when it has a control), or stops it.
    void StartGameClock();
    void StopGameClock();
    // The clock time mover has after the move just played (increment included) goes into the
    // comment after that move in the game's tree, and so into the recovery file.
    void NoteMoveClock(int mover);
    // Arms the flag timer for the running side's time.
    void ArmFlagTimer();

    // The UCI opponent (view/uciopponent.cpp). A game against the engine takes its opponent
    // from m_opponent as it is prepared; the engine's process is started at New (or at its
    // first turn) and shut down when the game ends or is replaced, or the view goes.
    void ChooseGameOpponent();
    // The UCI opponent's move is asked and still to come.
    bool OpponentThinks() const;
    void StartOpponentEngine();
    // now: at once (the view goes), else once the engine's signal being handled is done.
    void EndOpponentEngine(bool now = false);
    // The engine's turn against a UCI engine: position and go, under the clock when there is one.
    void UciEngineReply();
    // The UCI engine answered move (coordinates) with score: a legal move is played as the
    // built-in engine's reply is; anything else stops the game.
    void OnOpponentMove(const QString& move, int score);
    // The UCI engine failed (message in the user's words): the game stops where it stands,
    // for viewing, its clock stopped, and the user is told.
    void OnOpponentFailed(const QString& message);
    // The status line while the UCI engine thinks.
    void ShowOpponentThinking();

    QTimer          m_replayTimer;   // timer ReplayTimerId: one replay step a tick
    CBackgroundTask m_thinker;       // runs the engine's think
    std::shared_ptr<EngineSearch> m_search; // the last think started: its stop and progress
    QTimer          m_thinkTicker;   // refreshes the status line while the engine thinks
    QElapsedTimer   m_thinkClock;    // since the think started
    QString         m_thinkLine;     // the move line as the think started
    QString         m_typed;         // the move being typed, as typed
    GameClock       m_clock;         // the game's clock (nobody's running: no clock)
    QTimer          m_flagTimer;     // fires when the running side's time is used up
    QElapsedTimer   m_clockBase;     // ClockNow's origin
    ThinkLimits     m_thinkLimits = DesktopLimits; // the next think's budget
    int             m_lastEngineScore = 0;         // the engine's last score, its own view
    QString         m_endReason;     // how the finished game ended; empty while it goes on
    std::optional<EngineEntry> m_gameOpponent;         // the game's UCI engine, if any
    OpponentChoice             m_gameChoice;           // its strength, as the game started
    OpponentEngine*            m_opponentEngine = nullptr; // its process, once started
    QVariantAnimation  m_slide;          // the move animation's progress, 0 to 1
    std::vector<Slide> m_slides;         // the sprites it moves
    CSprite*           m_vanishing = nullptr; // a captured piece shown until the slide ends
    bool               m_animate   = false;   // the setting

    BoardGeometry                     m_geometry;
    BoardHighlights                   m_highlights;
    std::unique_ptr<HighlightPainter> m_highlightPainter; // made with the first buffer
    std::vector<BoardArrow>           m_arrows;           // the analysis's, best first
    std::unique_ptr<ArrowPainter>     m_arrowPainter;     // made with the first buffer
    QString                           m_recoveryPath;     // see SetRecoveryPath

    // A save has put the game into a file: not modified, no recovery file.
    void GameSaved();
    // A move was stored into the game in progress: it is modified and written to the
    // recovery file.
    void GameMoveStored();
    // Writes the game to the recovery file, marked while it is a game against the engine not
    // yet in the games file.
    void WriteRecoveryFile();

    // 対局棋譜 (view/keptgames.cpp): a game against the engine is appended to the games file
    // once, when it ends (ended), or when it is left (New, Open, another game, quitting)
    // after the user moved in it. Nothing when this game was already kept.
    void KeepPlayedGame(bool ended = false);
    // A game against the engine found in the recovery file at start, cut off before it was
    // kept, goes into the games file as one left; false when it could not be written.
    bool KeepRecoveredGame(const QByteArray& text);
    // Appends tree to the games file with the players' names (an empty one keeps the tree's),
    // today's date and its termination; a failure is told. False when it was not written.
    bool AppendToGamesFile(const GameTree& tree, const std::string& white, const std::string& black);
    bool m_userFlipped = false; // the board as the user last turned it (OnFlip)
    bool m_keepPending = false; // the user has moved in the game against the engine
    bool m_gameKept    = false; // this game is already in the games file
};
