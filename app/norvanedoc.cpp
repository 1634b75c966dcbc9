#include "app/norvanedoc.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMessageBox>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "app/commands.h"
#include "app/currentgame.h"
#include "app/filemessages.h"
#include "book/book.h"
#include "book/bookpath.h"
#include "engine/attacks.h"
#include "records/game.h"
#include "records/fileplaces.h"
#include "records/gamefilter.h"
#include "records/gamesearch.h"
#include "records/indexpass.h"
#include "records/pgnread.h"
#include "view/boardimages.h"
#include "view/boardscale.h"
#include "resources/studytexts.h"
#include "view/norvaneview.h"
#include "view/parseproblem.h"

QString fileSizeText(std::int64_t size) {
    if (size <= 0) return {};
    const std::int64_t k = size / 1024, m = k / 1024;
    return m != 0 ? QString("%1MB").arg(m) : QString("%1KB").arg(k + 1);
}

bool engineStarted = false;

void startEngine() {
    if (engineStarted) return;
    initEngine();
    engineStarted = true;
}

CNorvaneDoc::CNorvaneDoc() : m_filter(emptyFilter()), m_fileInfo{}, m_shownFilter(emptyFilter()) {
    // clang-format off
    static constexpr std::uint32_t ids[16] = {0, 136, 135, 134, 133, 132, 131, 0,
                                              0, 142, 141, 140, 139, 138, 137, 0};
    // clang-format on
    std::copy(std::begin(ids), std::end(ids), m_pieceImageIds);
    startEngine();  // which also seeds the book's random choices
    // A pass over the file keeps the window to itself: Escape cancels it.
    m_fileTask.SetModal(true);
    const QByteArray folder = QFile::encodeName(QCoreApplication::applicationDirPath() + "/");
    setBookPath(shippedBookPath(folder.toStdString()).c_str());
}

CNorvaneDoc::~CNorvaneDoc() {
    // A pass may still read the file and the names: it stops before they go.
    m_fileTask.Abandon();
    CloseFile();
    m_sprites.RemoveAll();
    delete m_pBackground;
}

CNorvaneView* CNorvaneDoc::GetBoardView() const {
    return GetViews().empty() ? nullptr : qobject_cast<CNorvaneView*>(GetViews().front());
}

void CNorvaneDoc::AttachBoardView(CNorvaneView* view) {
    m_sprites.m_notify.m_pView = view;
    if (!SetBoardPitch(m_boardPitch)) return;
    for (int id = 131; id <= 142; ++id) {
        auto* sprite = new CSprite;
        if (!loadBoardImage(*sprite, id, m_boardPitch)) {
            delete sprite;
            break;
        }
        m_sprites.Insert(sprite);
        sprite->MapColorsToPalette(view->GetPalette());
    }
}

void CNorvaneDoc::SetBackground(CDIB* dib) {
    m_sprites.RemoveAll();
    if (dib != m_pBackground) delete m_pBackground;
    m_pBackground      = dib;
    CNorvaneView* view = GetBoardView();
    if (!view || !dib || !view->CreateBuffer(dib)) return;
    dib->MapColorsToPalette(view->GetPalette());
    view->Render(nullptr);
    view->Draw(nullptr);
}

CSprite* CNorvaneDoc::NewSprite(int colour, int piece) {
    if (colour < 0 || colour > 1 || piece < 1 || piece > 6) return nullptr;
    return NewImageSprite(static_cast<int>(m_pieceImageIds[colour * 8 + piece]));
}

CSprite* CNorvaneDoc::NewImageSprite(int id) {
    auto* sprite = new CSprite;
    if (!loadBoardImage(*sprite, id, m_boardPitch)) {
        delete sprite;
        return nullptr;
    }
    m_sprites.Insert(sprite);
    return sprite;
}

void CNorvaneDoc::AddCoordinateSprites(bool flipped) {
    const BoardGeometry geometry(m_boardPitch);
    struct Strip {
        int    id;
        QPoint at;
    };
    const Strip strips[] = {{flipped ? 104 : 143, geometry.FileStripPosition()},
                            {flipped ? 105 : 144, geometry.RankStripPosition()}};
    for (const Strip& strip : strips) {
        CSprite* sprite = NewImageSprite(strip.id);
        if (!sprite) return;
        sprite->SetPosition(strip.at.x(), strip.at.y());
    }
}

bool CNorvaneDoc::SetBoardPitch(int pitch) {
    auto* background = new CDIB;
    if (!loadBoardImage(*background, BoardImage, pitch)) {
        delete background;
        return false;
    }
    m_boardPitch = pitch;
    SetBackground(background);
    return true;
}

void CNorvaneDoc::FinishPendingWork() {
    if (CNorvaneView* view = GetBoardView()) view->ReclaimEngine();
}

void CNorvaneDoc::DeleteContents() {
    m_games.clear();
    m_names        = PlayerNames{};
    m_filter       = emptyFilter(); // the criteria were the old file's
    m_shownFilter  = m_filter;
    m_matchedGames = -1;
    m_loadedGame   = -1;
    UpdateAllViews(nullptr, HintRebuildList);
    m_fileInfo = FileInfo{};
    clearGame(); // no moves, no tags, no ECO code, no result
    m_strMoveInfo.clear();
    CloseFile();
    setupStartPosition();
}

bool CNorvaneDoc::OnNewDocument() {
    CDocument::OnNewDocument();
    emit showGameList(false);
    return true;
}

void CNorvaneDoc::OnOpenDocument(const QString& path) {
    // The new file is indexed before the collection open now is let go: a file that does
    // not open, or whose indexing is cancelled, leaves it as it was.
    m_passCancelled = false;
    OpenAndIndex(path, true, [this, path](bool indexed, const QString& skipped) {
        if (!indexed) {
            EndOpen(path, false);
            return;
        }
        SetPathName(path); // a re-index on a later load opens the file again by it
        // What the open has to say waits until the list and the board show the file
        // (OnDocumentShown): first the games left out, then the first game's unreadable move.
        m_heldMessages.clear();
        if (!skipped.isEmpty()) m_heldMessages << skipped;
        m_holdMessages = true;
        if (!m_games.empty()) LoadGame(&m_games.front());
        m_holdMessages = false;
        emit showGameList(true);
        EndOpen(path, true);
    });
}

void CNorvaneDoc::OnDocumentShown() {
    const QStringList held = std::exchange(m_heldMessages, {});
    for (const QString& text : held)
        MessageBox(text);
}

void CNorvaneDoc::Tell(const QString& text) {
    if (m_holdMessages)
        m_heldMessages << text;
    else
        MessageBox(text);
}

void CNorvaneDoc::CloseFile() {
    m_file.close();
    if (m_lockFd >= 0) {
        ::close(m_lockFd); // releases the lock
        m_lockFd = -1;
    }
}

namespace {

// An index pass's own file, lock and results, shared by the worker and the pass's end; the
// lock is let go with it unless the document takes it.
struct IndexJob {
    BufferedFile             file;
    int                      lockFd = -1;
    FileInfo                 info{};
    std::vector<GameEntry>   games;
    PlayerNames              names;
    ScanFailure              failure{};
    std::vector<ScanFailure> skippedPlaces;
    bool                     indexed = false;

    IndexJob() = default;
    IndexJob(const IndexJob&)            = delete;
    IndexJob& operator=(const IndexJob&) = delete;
    ~IndexJob() {
        if (lockFd >= 0) ::close(lockFd);
    }
};

// A position search's marks and answer, shared the same way.
struct SearchJob {
    SearchFilter           filter;
    std::vector<GameEntry> marked;
    ScanFailure            failure{};
    std::int64_t           first    = -1;
    bool                   complete = false;
};

} // namespace

void CNorvaneDoc::OpenAndIndex(const QString& path, bool replaceContents, IndexDone then) {
    const QByteArray name = QFile::encodeName(path);
    auto             job  = std::make_shared<IndexJob>();
    // Linux has no mandatory sharing modes: an exclusive advisory lock keeps other programs
    // that ask (another Norvane among them) away while the document holds the file. The file
    // the document holds already keeps its lock through a duplicate of its descriptor. It is
    // opened non-blocking, so that a FIFO does not hold the open up; the reader refuses it.
    struct stat held {}, wanted {};
    int lockFd = -1;
    if (m_lockFd >= 0 && ::fstat(m_lockFd, &held) == 0 && ::stat(name.constData(), &wanted) == 0 &&
        held.st_dev == wanted.st_dev && held.st_ino == wanted.st_ino)
        lockFd = ::fcntl(m_lockFd, F_DUPFD_CLOEXEC, 0);
    else if ((lockFd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) >= 0 &&
             ::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd);
        lockFd = -1;
    }
    job->lockFd = lockFd;
    if (lockFd < 0 || !job->file.open(name.constData())) {
        then(false, {});
        return;
    }
    // The pass builds into its own index; the document, and the list showing it, stay as they
    // are until it has succeeded.
    const auto index = [job](PassControl& control) {
        job->indexed = indexFile(job->file, job->info, job->games, job->names, &job->failure, &control);
        if (job->indexed && job->info.skippedGames > 0)
            job->skippedPlaces = skippedGamePlaces(job->file, job->info);
    };
    const auto indexed = [this, job, path, name, replaceContents, then](bool completed) {
        if (!completed) {
            then(false, {});
            return;
        }
        if (!job->indexed) {
            MessageBox(fileProblemMessage(job->failure));
            then(false, {});
            return;
        }
        QString skipped;
        if (job->info.skippedGames > 0)
            skipped = skippedGamesMessage(job->info.skippedGames, job->skippedPlaces);

        // The new file becomes the document's; the collection open before goes.
        if (replaceContents)
            CDocument::OnOpenDocument(path);
        else
            CloseFile();
        m_file.swap(job->file);
        m_lockFd = std::exchange(job->lockFd, -1);
        m_games.swap(job->games);
        m_names                  = std::move(job->names);
        m_fileInfo               = job->info;
        m_fileInfo.fileSize      = m_file.size();
        const std::size_t length = std::min<std::size_t>(name.size(), FilePathSize - 1);
        std::memcpy(m_fileInfo.path, name.constData(), length);
        m_fileInfo.path[length] = '\0';
        // The list's rows point into the old index: they are made again before anything can
        // paint the list.
        if (!replaceContents) UpdateAllViews(nullptr, HintRebuildList);
        then(true, skipped);
    };
    RunPass(replaceContents ? StudyText::OpeningFile : StudyText::ReindexingFile, job->file.size(),
            index, replaceContents ? StudyText::OpenCancelled : StudyText::ReindexCancelled, indexed);
}

void CNorvaneDoc::Reindex(std::function<void(bool indexed)> then) {
    // The engine's move is played first: nothing may change the game while the pass runs.
    FinishPendingWork();
    const QString path = GetPathName();
    OpenAndIndex(path, false, [this, path, then](bool indexed, const QString& skipped) {
        if (!indexed) {
            if (!m_passCancelled) {
                OnNewDocument();
                UpdateAllViews(nullptr, HintEverything);
            }
            then(false);
            return;
        }
        SetPathName(path);
        if (!skipped.isEmpty()) MessageBox(skipped);
        then(true);
    });
}

void CNorvaneDoc::WithFreshIndex(std::function<void(bool indexed)> then) {
    // Byte ranges hold only for the file as it was indexed.
    if (m_file.unchanged())
        then(true);
    else
        Reindex(std::move(then));
}

void CNorvaneDoc::RunPass(const char* label, std::int64_t totalBytes, CBackgroundTask::Work work,
                          const char* cancelledText, std::function<void(bool completed)> then) {
    const auto ended = [this, cancelledText, then](bool completed) {
        m_passCancelled = !completed;
        if (m_passCancelled) emit passCancelled(QString::fromUtf8(cancelledText));
        then(completed);
    };
    if (!m_fileTask.Start(QString::fromUtf8(label), totalBytes, std::move(work), ended)) {
        m_passCancelled = true; // one pass at a time
        then(false);
    }
}

void CNorvaneDoc::ReadGameText(const GameEntry* entry, TextReader then) {
    m_passCancelled = false;
    if (!entry || !m_file.isOpen()) {
        then(false, {});
        return;
    }
    // After a re-index the entry is found again by its number, in the new index.
    const std::size_t number = entry->number;
    WithFreshIndex([this, number, then](bool indexed) {
        std::string text;
        if (!indexed || number >= m_games.size()) {
            then(false, text);
            return;
        }
        readGameText(m_file, &m_games[number], text);
        then(true, text);
    });
}

bool CNorvaneDoc::LoadGame(const GameEntry* entry, std::function<void(bool loaded)> then) {
    m_passCancelled = false;
    if (!entry || !m_file.isOpen()) {
        if (then) then(false);
        return false;
    }
    const std::int64_t loadedBefore = m_loadedGame;
    m_loadedGame                    = entry->number;
    // Set when the load ends, which may be at once.
    const auto loadedNow = std::make_shared<bool>(false);
    ReadGameText(entry, [this, loadedBefore, then, loadedNow](bool read, const std::string& text) {
        bool loaded = false;
        if (!read) {
            if (m_passCancelled)
                m_loadedGame = loadedBefore;
            else
                clearGame();
        } else {
            // A game read in part is shown up to the move that could not be read, which is
            // named.
            ParseOutcome outcome;
            loaded = loadCurrentGameText(text.c_str(), text.size(), &outcome);
            if (!loaded) Tell(parseProblemMessage(outcome));
        }
        m_loadedWhole = loaded;
        *loadedNow = loaded;
        if (then) then(loaded);
    });
    return *loadedNow;
}

bool CNorvaneDoc::IsBoardBusy() const {
    const CNorvaneView* view = GetBoardView();
    return view && (view->IsReplaying() || view->IsThinking());
}

bool CNorvaneDoc::CanUseFileCommands() const {
    return !IsBoardBusy() && !IsPassRunning() && !m_games.empty();
}

void CNorvaneDoc::OnFileInfo() {
    if (m_games.empty()) return;
    const QByteArray path = GetPathName().toUtf8();
    MessageBox(QString::fromUtf8(fileInfoText(m_fileInfo, path.constData(), m_openingNames)));
}

void CNorvaneDoc::OnSearch() {
    if (m_games.empty()) return;
    SearchDialogValues values = m_lastSearch;
    if (!AskSearchCriteria(values)) return;
    m_lastSearch = values;
    if (values.action == SearchAction::PlayerRecord) {
        emit playerRecordAsked(values.name);
        return;
    }
    const SearchFilter filter = searchFilterOf(searchCriteriaOf(values));
    // すべて表示, and a search with no criteria at all, show every game again (nothing to do
    // when the list shows them all: the board keeps its game).
    if (values.action == SearchAction::ShowAll || filterIsEmpty(filter)) {
        m_filter = emptyFilter();
        if (!filterIsEmpty(m_shownFilter)) OnReload();
        return;
    }
    // The first match replaces the game on the board: a modified one is saved or let go first.
    if (CNorvaneView* view = GetBoardView(); view && !view->ConfirmDiscardGame()) return;
    m_filter = filter;
    SearchGames();
}

void CNorvaneDoc::SearchGames(std::function<void()> then) {
    m_passCancelled = false;
    if (filterIsEmpty(m_filter)) { // no criteria: the list stays as it was
        if (then) then();
        return;
    }
    // The search marks a copy of the index, so that the list goes on showing the index as it
    // is; only a search that matched hands its marks over. One that matches nothing keeps
    // the list it would have replaced, and so does a cancelled one.
    if (m_filter.positionKey == 0) {
        CWaitCursor            wait;
        std::vector<GameEntry> marked = m_games;
        std::int64_t           first  = -1;
        collectMatches(m_file, marked, m_names, m_filter, first);
        ShowMatches(marked, first);
        if (then) then();
        return;
    }
    SearchPosition([this, then](bool searched, const std::vector<GameEntry>& marked, std::int64_t first) {
        if (searched)
            ShowMatches(marked, first);
        else
            m_filter = m_shownFilter;
        if (then) then();
    });
}

void CNorvaneDoc::ShowGameSelection(const std::vector<GameEntry>& marked, const SearchFilter& criteria) {
    if (m_games.empty() || IsPassRunning()) return;
    std::int64_t first = -1;
    for (const GameEntry& entry : marked)
        if (entry.info & Matched) {
            first = entry.number;
            break;
        }
    m_filter = criteria;
    ShowMatches(marked, first);
}

void CNorvaneDoc::ShowMatches(const std::vector<GameEntry>& marked, std::int64_t first) {
    if (first < 0 || static_cast<std::size_t>(first) >= m_games.size() ||
        marked.size() != m_games.size()) {
        m_filter = m_shownFilter;
        MessageBox(QString::fromUtf8(StudyText::NoMatch));
        return;
    }
    for (std::size_t i = 0; i < m_games.size(); ++i)
        m_games[i].info = marked[i].info;
    m_shownFilter  = m_filter;
    m_matchedGames = 0;
    for (const GameEntry& entry : m_games)
        m_matchedGames += (entry.info & Matched) != 0;
    LoadGame(&m_games[static_cast<std::size_t>(first)]);
    UpdateAllViews(nullptr, HintEverything);
}

void CNorvaneDoc::SearchPosition(PositionDone then) {
    // The pass reads the file by the index's offsets.
    WithFreshIndex([this, then](bool indexed) {
        if (!indexed) {
            then(false, {}, -1);
            return;
        }
        // The worker reads the file, the names and its own copies of the filter and the index;
        // the window takes no command meanwhile, so none of them changes.
        auto job    = std::make_shared<SearchJob>();
        job->filter = m_filter;
        job->marked = m_games;
        const auto search = [this, job](PassControl& control) {
            job->complete = collectMatches(m_file, job->marked, m_names, job->filter, job->first,
                                           &job->failure, &control);
        };
        const auto searched = [this, job, then](bool completed) {
            if (!completed) {
                then(false, {}, -1);
                return;
            }
            // Games whose moves turned out not to replay are marked so whatever the search finds.
            for (std::size_t i = 0; i < m_games.size() && i < job->marked.size(); ++i)
                m_games[i].info |= job->marked[i].info & Unreadable;
            if (!job->complete) MessageBox(fileProblemMessage(job->failure));
            then(true, job->marked, job->first);
        };
        RunPass(StudyText::SearchingPosition, m_file.size(), search, StudyText::SearchCancelled,
                searched);
    });
}

void CNorvaneDoc::OnReload() {
    if (m_games.empty()) return;
    if (CNorvaneView* view = GetBoardView(); view && !view->ConfirmDiscardGame()) return;
    m_filter       = emptyFilter();
    m_shownFilter  = m_filter;
    m_matchedGames = static_cast<std::int64_t>(m_games.size());
    for (GameEntry& entry : m_games)
        entry.info |= Matched;
    // A cancelled re-index of a file changed on disk keeps the game on the board.
    LoadGame(&m_games.front(), [this](bool) {
        UpdateAllViews(nullptr, WasCancelled() ? HintRebuildList : HintEverything);
    });
}

void CNorvaneDoc::AddCommands(CCommandTable& table) {
    const auto enabled = [this] { return CanUseFileCommands(); };
    table.Add(
        CmdFileInfo, [this] { OnFileInfo(); }, enabled);
    table.Add(
        CmdSearch, [this] { OnSearch(); }, enabled);
    table.Add(
        CmdReload, [this] { OnReload(); }, enabled);
}

QString CNorvaneDoc::GetPaneText(int pane) const {
    switch (pane) {
    case PaneMoveInfo:
        return m_strMoveInfo;
    case PanePathName:
        return GetPathName();
    case PaneFileSize:
        return fileSizeText(m_fileInfo.fileSize);
    case PaneGameCount:
        if (!m_fileInfo.games) return {};
        // After a search: the games it matched, and all of them.
        if (!filterIsEmpty(m_shownFilter) && m_matchedGames >= 0)
            return QString::number(m_matchedGames) + " / " + QString::number(m_fileInfo.games);
        return QString::number(m_fileInfo.games);
    default:
        return {};
    }
}

void CNorvaneDoc::MessageBox(const QString& text) {
    CNorvaneView* view = GetBoardView();
    QMessageBox::information(view ? view->window() : nullptr, "Norvane", text);
}

bool CNorvaneDoc::AskSearchCriteria(SearchDialogValues&) {
    // The frame's search dialog replaces this; without it a search has no criteria.
    return false;
}
