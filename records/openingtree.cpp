#include "records/openingtree.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "book/openings.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "records/game.h"
#include "records/pgntags.h"
#include "records/rangedpass.h"
#include "records/san.h"

namespace {

std::uint16_t moveCode(const Move& move) {
    return static_cast<std::uint16_t>(move.fromTo | promotionType(move) << 12);
}

} // namespace

OpeningTree::OpeningTree(std::size_t positionLimit, std::size_t byteLimit)
    : m_positionLimit(positionLimit), m_byteLimit(byteLimit) {
    const Board saved = board;
    setupStartKeepingMoves();
    m_initial = board;
    board     = saved;
}

void OpeningTree::clear() {
    m_table     = {};
    m_count     = 0;
    m_full      = false;
    m_edges     = {};
    m_gameEdges.clear();
    m_plies.clear();
    m_logging = false;
    m_log     = {};
    m_games    = 0;
    m_skipped  = 0;
    m_outcome  = TreeBuild::NotBuilt;
}

void OpeningTree::startPart(PartLog spare) {
    clear();
    m_logging = true;
    m_log     = std::move(spare);
    m_log.plies.clear();
    m_log.games.clear();
}

bool OpeningTree::build(const char* path, PassControl* control) {
    BufferedFile file;
    if (!file.open(path)) {
        clear();
        m_outcome = TreeBuild::CannotOpen;
        return false;
    }
    return build(file, control);
}

bool OpeningTree::build(BufferedFile& file, PassControl* control) {
    clear();
    m_table.assign(std::size_t{1} << (64 - InitialShift), Position{});
    m_shift = InitialShift;
    std::mutex           spareLock;
    std::vector<PartLog> spares;
    const bool           finished = runRangedPass<SearchPass, OpeningTree>(
        file, control,
        [&] {
            PartLog spare;
            {
                const std::lock_guard<std::mutex> hold(spareLock);
                if (!spares.empty()) {
                    spare = std::move(spares.back());
                    spares.pop_back();
                }
            }
            auto range = std::make_unique<PassRange<OpeningTree>>(m_positionLimit, m_byteLimit);
            range->hooks.startPart(std::move(spare));
            return range;
        },
        [&](PassRange<OpeningTree>& range) {
            PartLog                           spent = absorb(range.hooks);
            const std::lock_guard<std::mutex> hold(spareLock);
            spares.push_back(std::move(spent));
        });
    // A file cut or written over while it was read gives a tree of no file: it is refused, as
    // the other passes refuse it.
    const bool changed = finished && !file.unchanged();
    if (!finished || changed) {
        clear();
        m_outcome = changed ? TreeBuild::FileChanged : TreeBuild::Stopped;
        return false;
    }
    m_outcome = TreeBuild::Built;
    return true;
}

OpeningTree::PartLog OpeningTree::absorb(OpeningTree& part) {
    std::size_t from = 0;
    for (const LoggedGame& game : part.m_log.games) {
        countGame(part.m_log.plies.data() + from, game.pliesEnd - from, game.result, game.year,
                  game.skipped);
        from = game.pliesEnd;
    }
    PartLog spent = std::move(part.m_log);
    part.clear();
    return spent;
}

std::size_t OpeningTree::memoryBytes() const {
    return m_table.capacity() * sizeof(Position) + m_edges.capacity() * sizeof(Edge);
}

std::size_t OpeningTree::slotOf(std::uint64_t key) const {
    // The key's high bits after a multiply: a spread that does not rely on its low bits.
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> m_shift);
}

const OpeningTree::Position* OpeningTree::find(std::uint64_t key) const {
    if (m_table.empty()) return nullptr;
    const std::size_t mask = m_table.size() - 1;
    for (std::size_t slot = slotOf(key);; slot = (slot + 1) & mask) {
        const Position& p = m_table[slot];
        if (p.games == 0) return nullptr;
        if (p.key == key) return &p;
    }
}

bool OpeningTree::grow() {
    const std::size_t bytes = 3 * m_table.size() * sizeof(Position) + m_edges.capacity() * sizeof(Edge);
    if (bytes > m_byteLimit) return false;
    std::vector<Position> old(m_table.size() * 2, Position{});
    old.swap(m_table);
    --m_shift;
    const std::size_t mask = m_table.size() - 1;
    for (const Position& p : old) {
        if (p.games == 0) continue;
        std::size_t slot = slotOf(p.key);
        while (m_table[slot].games)
            slot = (slot + 1) & mask;
        m_table[slot] = p;
    }
    return true;
}

bool OpeningTree::growEdges() {
    // Half as many again (at least 4096): the old and the new vector are both held meanwhile.
    const std::size_t more  = std::max<std::size_t>(m_edges.capacity() / 2, 4096);
    const std::size_t bytes = m_table.size() * sizeof(Position) +
                              (2 * m_edges.capacity() + more) * sizeof(Edge);
    if (bytes > m_byteLimit) return false;
    m_edges.reserve(m_edges.capacity() + more);
    return true;
}

OpeningTree::Position* OpeningTree::countAt(std::uint64_t key) {
    // The table stays at most half full: when it cannot grow, no position is added.
    const bool roomy = m_count * 2 < m_table.size() ||
                       (m_count < m_positionLimit && grow());
    const std::size_t mask = m_table.size() - 1;
    std::size_t         slot = slotOf(key);
    while (m_table[slot].games && m_table[slot].key != key)
        slot = (slot + 1) & mask;
    Position& p = m_table[slot];
    if (p.games == 0 && (m_count >= m_positionLimit || !roomy)) {
        // A position first met after the limit is left out; those already in stay whole.
        m_full = true;
        return nullptr;
    }
    if (p.games == 0) {
        const int named = findOpening(key);
        p = {key, 0, None, None, named != NoOpening ? named : m_lineOpening};
        ++m_count;
    }
    m_lineOpening = p.opening;
    if (p.lastGame == m_games) return nullptr;
    p.lastGame = static_cast<std::uint32_t>(m_games);
    ++p.games;
    return &p;
}

void OpeningTree::countGame(const GamePly* plies, std::size_t count, int result,
                            std::int32_t year, bool skipped) {
    m_lineOpening = NoOpening;
    // The slots of the positions a few plies on are fetched while this one is counted: the
    // table is larger than the caches.
    constexpr std::size_t Ahead = 4;
    for (std::size_t k = 0; k < count; ++k) {
        if (k + Ahead < count) __builtin_prefetch(&m_table[slotOf(plies[k + Ahead].key)]);
        const GamePly ply  = plies[k];
        Position*     here = countAt(ply.key);
        if (!here || ply.move == NoEdgeMove) continue;
        std::uint32_t& first = here->firstEdge;
        std::uint32_t  e = first, previous = None;
        while (e != None && m_edges[e].move != ply.move) {
            previous = e;
            e        = m_edges[e].next;
        }
        if (e == None) {
            if (!roomForEdge()) {
                m_full = true; // the move is left out; the position keeps its games
                continue;
            }
            e = static_cast<std::uint32_t>(m_edges.size());
            m_edges.push_back({first, ply.move, 0, 0, 0, 0, 0});
            first = e;
        } else if (previous != None) {
            // The move found goes to the front: the moves played most are found soonest.
            m_edges[previous].next = m_edges[e].next;
            m_edges[e].next        = first;
            first                  = e;
        }
        ++m_edges[e].count;
        m_gameEdges.push_back(e);
    }
    if (!skipped) {
        for (const std::uint32_t e : m_gameEdges) {
            Edge& edge = m_edges[e];
            edge.whiteWins += result == WhiteWon;
            edge.draws += result == Drawn;
            edge.blackWins += result == BlackWon;
            edge.lastYear = static_cast<std::int16_t>(std::max<std::int32_t>(edge.lastYear, year));
        }
    }
    m_gameEdges.clear();
    // The next game takes a new number, so that its positions count it; a damaged game's
    // positions and moves before the damage stay.
    ++m_games;
    m_skipped += skipped;
}

void OpeningTree::finishGame(int result, bool skipped) {
    if (m_logging) {
        m_log.plies.insert(m_log.plies.end(), m_plies.begin(), m_plies.end());
        m_log.games.push_back(
            {static_cast<std::uint32_t>(m_log.plies.size()), m_year, result, skipped});
    } else {
        countGame(m_plies.data(), m_plies.size(), result, m_year, skipped);
    }
    m_plies.clear();
}

void OpeningTree::gameStart(std::int64_t) {
    m_plies.clear();
    m_tags.clear();
    m_year    = 0;
    m_ply     = 0;
    m_setUp   = false;
    m_stopped = false;
    board     = m_initial; // a game of no moves at all stands at the start too
}

void OpeningTree::tagTaken(const PgnMachine& m) {
    switch (m_tags.take(m)) {
    case PgnTag::Date:
        m_year = yearOfDate(m.value, m.valueLength);
        break;
    case PgnTag::Fen:
        // A set-up position: its moves belong to another tree. An empty FEN is the initial
        // position, as every reader takes it.
        if (m.valueLength > 0) m_setUp = true;
        break;
    case PgnTag::Variant:
        if (!standardVariant(m.value)) m_setUp = true; // another game's rules: its moves do not replay here
        break;
    default:
        break;
    }
}

void OpeningTree::movetextBegins() { board = m_initial; }

bool OpeningTree::moveToken(const char* text, int length) {
    if (m_setUp || m_stopped) return true;
    Move move{};
    if (m_ply == TreeDepth || !sanToMove(text, length - 1, &move)) {
        // The game goes no deeper in the tree.
        m_plies.push_back({board.hashKey, NoEdgeMove});
        m_stopped = true;
        return true;
    }
    m_plies.push_back({board.hashKey, moveCode(move)});
    makeMove(move);
    ++m_ply;
    return true;
}

bool OpeningTree::gameEnd(int result, std::int64_t, bool&) {
    if (m_setUp) return true;
    if (!m_stopped) m_plies.push_back({board.hashKey, NoEdgeMove});
    finishGame(result, false);
    return true;
}

void OpeningTree::gameSkipped(std::int64_t) {
    // What the damaged game passed before the damage counts; it ends here.
    m_stopped = true;
    if (!m_setUp) finishGame(0, true);
}

int OpeningTree::openingAt(std::uint64_t key) const {
    const Position* p = find(key);
    return p ? p->opening : findOpening(key);
}

TreeAnswer OpeningTree::answer() const {
    TreeAnswer          result;
    const Position* here = find(board.hashKey);
    if (!here) return result;
    result.games = here->games;
    Move legal[256];
    Move* const end = genAllMoves(board.sideToMove, legal);
    for (std::uint32_t e = here->firstEdge; e != None; e = m_edges[e].next) {
        const Edge& edge = m_edges[e];
        const Move* m    = legal;
        while (m < end && (moveCode(*m) != edge.move || leavesKingAttacked(*m)))
            ++m;
        if (m == end) continue; // another position with the same key: nothing to show
        TreeMoveRow row{};
        row.move      = *m;
        moveToSan(*m, row.san);
        row.count     = edge.count;
        row.whiteWins = edge.whiteWins;
        row.draws     = edge.draws;
        row.blackWins = edge.blackWins;
        row.lastYear  = edge.lastYear;
        makeMove(*m);
        row.opening    = openingAt(board.hashKey);
        row.openingOwn = findOpening(board.hashKey) != NoOpening;
        unmakeMove(*m);
        result.moves.push_back(row);
    }
    std::sort(result.moves.begin(), result.moves.end(),
              [](const TreeMoveRow& a, const TreeMoveRow& b) {
                  return a.count != b.count ? a.count > b.count : std::strcmp(a.san, b.san) < 0;
              });
    return result;
}
