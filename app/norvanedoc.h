// CNorvaneDoc: the one document. It stands for one open PGN file (or none) and owns the
// file, its game index, the search criteria, the status texts, and the board's background
// image and sprites.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/backgroundtask.h"
#include "app/docview.h"
#include "app/savefile.h"
#include "app/searchvalues.h"
#include "book/openings.h"
#include "records/bufferedfile.h"
#include "records/gameindex.h"
#include "view/boardscale.h"
#include "view/dib.h"
#include "view/sprite.h"

class CNorvaneView;

// Bits of UpdateAllViews hints: take the current game afresh, rebuild the game list, the
// shown position changed, the opening-name setting changed. The document sends 2 when it
// drops its contents and 7 (the first three) when an open failed, a search finished or the
// file was reloaded.
inline constexpr int HintReloadGame = 1, HintRebuildList = 2, HintPositionChanged = 4,
                     HintOpeningNames = 8;
inline constexpr int HintEverything = HintReloadGame | HintRebuildList | HintPositionChanged;

// Runs initEngine the first time it is called in the process; the key generator must not
// run twice (a second run would give other keys).
void startEngine();
// Whether startEngine has run.
extern bool engineStarted;

// The status bar's size pane: empty for 0 bytes, whole megabytes from 1 MB on ("%dMB", cut
// down), below that kilobytes counted up from the next started one ("%dKB" of k + 1).
QString fileSizeText(std::int64_t size);

class CNorvaneDoc : public CDocument {
    Q_OBJECT
public:
    // Starts the engine (once per process), seeds rand with the time, and points the book at
    // book.dat beside the program, else in the installed data folder.
    CNorvaneDoc();
    ~CNorvaneDoc() override;

    // Called once by the board view as it is made: the view hears the sprites' changes,
    // shows the background (image 130), and the twelve piece images are loaded once as
    // sprites to prove them (the view's first rebuild removes them).
    void AttachBoardView(CNorvaneView* view);
    // Destroys every sprite and the old background, keeps dib (owned from now on), and has
    // the board view build its buffer and palette from it and show it.
    void SetBackground(CDIB* dib);
    // A sprite with colour's piece image, in the sprite list at depth 50 and not yet placed;
    // null when the image does not load.
    CSprite* NewSprite(int colour, int piece);
    // The same with image number id.
    CSprite* NewImageSprite(int id);
    // The file-letter strip at (40, 275) and the rank-number strip at (8, 14), the flipped
    // ones when flipped (both scaled with the board). Stops at an image that does not load.
    void AddCoordinateSprites(bool flipped);
    // Draws the board at another pitch (device pixels per square): the background at that
    // size through SetBackground, which empties the sprite list; new sprites take the size.
    // False, changing nothing, when the background does not load.
    bool SetBoardPitch(int pitch);
    int  BoardPitch() const { return m_boardPitch; }
    // The first view: the board view.
    CNorvaneView* GetBoardView() const;

    // The board view's engine think, if any, stops and plays its move: New and Open are about
    // to use the Board.
    void FinishPendingWork() override;
    // Drops the file and its index and clears the current game: the Board at the start.
    void DeleteContents() override;
    // An empty document; the game list is hidden.
    bool OnNewDocument() override;
    // Opens path (held under an advisory lock while the document keeps it) and starts indexing
    // its games in the background (m_fileTask); when that ends, the file becomes the
    // document's, its first game is loaded and the list shown, and the open ends (EndOpen).
    // It fails when the file does not open or the user cancelled the indexing: the collection
    // open before stays as it was, and only a file that breaks the PGN grammar has shown a
    // message (where it broke).
    void OnOpenDocument(const QString& path) override;
    // Shows what the open had to say (games left out, the first game's unreadable move), now
    // that the list and the board show the file.
    void OnDocumentShown() override;

    // Hands then the raw text of entry's game from the file as it is now: at once, or for a
    // file changed on disk since it was indexed, once it has been indexed again in the
    // background (the game of the same number is read then). read is false when there is no
    // file or the game is gone, or when the user cancelled that re-index (the index and the
    // list stay as they were).
    using TextReader = std::function<void(bool read, const std::string& text)>;
    void ReadGameText(const GameEntry* entry, TextReader then);
    // Reads entry's game (through ReadGameText) into the current game, then runs then (if any)
    // with whether it loaded: false when reading fails or the game does not parse (what was
    // read stays the current game). A cancelled re-index keeps the current game. Answers
    // whether the game was loaded at once; false also while the re-index runs.
    bool LoadGame(const GameEntry* entry, std::function<void(bool loaded)> then = {});
    // The last open, game read or search was cancelled by the user during its pass over the
    // file: it changed nothing, and the status bar has said so.
    bool WasCancelled() const { return m_passCancelled; }
    // A pass over the file (open, re-index, position search) runs in the background.
    bool IsPassRunning() const { return m_fileTask.IsRunning(); }
    // The board view replays the game or the engine thinks: the current game must not change.
    bool IsBoardBusy() const;

    // 上書き保存 (overwritegame.cpp). The current game is game m_loadedGame of the open file,
    // read whole: a game shown only in part must not replace the whole one in the file.
    bool HoldsLoadedGame() const;
    // Replaces the loaded game's bytes in the file by text (keeping the file's line ends and
    // the text between games): the new file is written under a fresh name and renamed over
    // the old one, kept as FILE.bak with keepBackup; the lock passes to the new file and the
    // list is indexed again in the background. Nothing is written when the file changed on
    // disk since it was indexed (changedOnDisk).
    SaveOutcome OverwriteLoadedGame(const QByteArray& text, bool keepBackup, const SaveCalls& calls);
    // Indexes the open file again after it changed on disk; the game on the board stays.
    void ReindexChangedFile();

    // The three file commands: file information, search, reload. Each does nothing without
    // games; the enable rule says whether it can run now.
    void OnFileInfo();
    void OnSearch();
    void OnReload();
    bool CanUseFileCommands() const;
    // Runs the search of m_filter over the games, loads the first match and tells the views,
    // then runs then (if any); nothing but then when the filter has no criteria. The position
    // criterion reads the file in the background (m_fileTask): the search ends later. A search
    // that matches no game says so and keeps the list and the criteria it had; a cancelled one
    // keeps them silently.
    void SearchGames(std::function<void()> then = {});
    // Shows as the list the games marked Matched in marked (a copy of m_games marked as a
    // search would mark it), criteria being what the list shows, and loads the first; says so
    // and keeps the list when none is marked.
    void ShowGameSelection(const std::vector<GameEntry>& marked, const SearchFilter& criteria);
    // Adds the file commands to the frame's command table.
    void AddCommands(CCommandTable& table);

    // The text of a status bar pane (PaneMoveInfo, PanePathName, PaneFileSize,
    // PaneGameCount); empty for any other.
    QString GetPaneText(int pane) const;

    // Platform operations, replaced by tests: a message box captioned "Norvane" over the
    // main window, and the search dialog (false when cancelled).
    virtual void MessageBox(const QString& text);
    virtual bool AskSearchCriteria(SearchDialogValues& values);

signals:
    // The search dialog asked for the record of the player whose name (or part of it) is
    // name.
    void playerRecordAsked(const QString& name);
    // The game list should be shown (a file was opened) or hidden (New).
    void showGameList(bool show);
    // A pass over the file was cancelled; text says which.
    void passCancelled(const QString& text);

public:
    CDIB*                  m_pBackground = nullptr; // owned; null until the board view is attached
    CSpriteList            m_sprites;
    std::uint32_t          m_pieceImageIds[16]; // image number by colour * 8 + piece type
    SearchFilter           m_filter;            // the criteria of the last search
    BufferedFile           m_file;              // the open PGN file, kept for the document's life
    FileInfo               m_fileInfo;          // all zero without a file
    std::vector<GameEntry> m_games;             // one entry per game, in file order
    PlayerNames            m_names;             // the texts m_games name: players, events, sites, rounds
    QString                m_strMoveInfo;       // the move-information line of the status bar
    OpeningNameSettings    m_openingNames;      // how the views and texts name openings
    SearchFilter           m_shownFilter;       // the criteria of the list shown (empty: all)
    SearchDialogValues     m_lastSearch;        // what the search dialog last handed back
    std::int64_t           m_matchedGames = -1; // games the list shows after a search
    std::int64_t           m_loadedGame   = -1; // number of the game last read from the file
    bool                   m_loadedWhole  = false; // ... and whether it was read whole
    CBackgroundTask        m_fileTask;          // runs the passes over the file (docs/threads.md)

private:
    // Opens, locks and indexes path (a pass in the background), then makes it the document's
    // file, index and counts (replaceContents: after emptying the document, as a new open
    // does; else the list is made again at once); shows the scanner's message when no game of
    // the file can be read. then receives whether it did so, and the message on the games that
    // were left out (empty when none were). Failed, also when the user cancelled the pass, it
    // leaves the document as it was: the collection open before stays open.
    using IndexDone = std::function<void(bool indexed, const QString& skipped)>;
    void OpenAndIndex(const QString& path, bool replaceContents, IndexDone then);
    // Closes the file and releases its lock.
    void CloseFile();
    // Indexes the open file again after it changed on disk: the list is rebuilt; on failure
    // the document becomes empty as after a failed open. Cancelled: the old index stays. then
    // receives whether the new index stands.
    void Reindex(std::function<void(bool indexed)> then);
    // Runs then once the index matches the file on disk: at once when the file is unchanged,
    // else after Reindex (with its answer).
    void WithFreshIndex(std::function<void(bool indexed)> then);
    // The search of m_filter's position over a copy of the index (marked), reading the file
    // by its offsets; first is the first match or -1. searched is false when it was cancelled
    // or the file changed on disk and could not be indexed again.
    using PositionDone =
        std::function<void(bool searched, const std::vector<GameEntry>& marked, std::int64_t first)>;
    void SearchPosition(PositionDone then);
    // Takes a search's marks (first: its first match) as the list's, loads the first match
    // and tells the views; one that matched nothing says so and keeps the list.
    void ShowMatches(const std::vector<GameEntry>& marked, std::int64_t first);
    // Runs work as a pass over the file (m_fileTask) under label, then then with whether it
    // ran to its end; a cancelled one has the status bar say cancelledText first. A pass asked
    // for while another runs counts as cancelled.
    void RunPass(const char* label, std::int64_t totalBytes, CBackgroundTask::Work work,
                 const char* cancelledText, std::function<void(bool completed)> then);

    // Shows text in a message box, or while an open holds its messages, keeps it for
    // OnDocumentShown.
    void Tell(const QString& text);

    int m_lockFd     = -1;            // a descriptor of the open file holding its advisory lock
    bool        m_holdMessages = false; // see Tell
    QStringList m_heldMessages;
    int  m_boardPitch    = StandardPitch; // the size the board's images are drawn at
    bool m_passCancelled = false;         // see WasCancelled
};
