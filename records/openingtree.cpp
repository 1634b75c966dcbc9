#include "records/openingtree.h"

#include <algorithm>
#include <cstring>

#include "book/openings.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "records/rangedpass.h"
#include "records/san.h"

namespace {

std::uint16_t moveCode(const Move& move) {
    return static_cast<std::uint16_t>(move.fromTo | promotionType(move) << 12);
}

// The year of a Date tag value "1997.05.11", or 0 when it does not start with one.
std::int32_t yearOf(const char* v, int length) {
    if (length < 4 || (v[0] != '1' && v[0] != '2')) return 0;
    for (int k = 1; k < 4; ++k)
        if (v[k] < '0' || v[k] > '9') return 0;
    return (v[0] - '0') * 1000 + (v[1] - '0') * 100 + (v[2] - '0') * 10 + (v[3] - '0');
}

// Swaps the caller's Board for the tree's while the tree replays, and back.
class BoardSwap {
public:
    explicit BoardSwap(Board& own) : m_own(own), m_saved(board) { board = own; }
    ~BoardSwap() {
        m_own = board;
        board = m_saved;
    }
    BoardSwap(const BoardSwap&)            = delete;
    BoardSwap& operator=(const BoardSwap&) = delete;

private:
    Board& m_own;
    Board  m_saved;
};

} // namespace

OpeningTree::OpeningTree(std::size_t positionLimit) : m_positionLimit(positionLimit) {
    const Board saved = board;
    setupStartKeepingMoves();
    m_initial = board;
    board     = saved;
}

void OpeningTree::clear() {
    m_file.close();
    m_table     = {};
    m_count     = 0;
    m_full      = false;
    m_edges     = {};
    m_gameEdges.clear();
    m_firstMet = {};
    m_notingOrder = false;
    m_games    = 0;
    m_skipped  = 0;
    m_offset   = 0;
    m_size     = 0;
    m_complete = false;
}

bool OpeningTree::start(const char* path) {
    clear();
    m_machine = PgnMachine{};
    m_board   = m_initial;
    if (!m_file.open(path)) {
        m_complete = true;
        return false;
    }
    m_size = m_file.size();
    m_table.assign(std::size_t{1} << (64 - InitialShift), Position{});
    m_shift = InitialShift;
    return true;
}

bool OpeningTree::step(int chunks) {
    if (!m_file.isOpen()) return false;
    BoardSwap swap(m_board);
    for (int k = 0; k < chunks; ++k) {
        const std::size_t n = m_file.seek(m_offset) ? m_file.refill() : 0;
        if (n == 0) {
            // The end of the file ends a game whose movetext was being read, as in the passes.
            finishPgn<SearchPass>(m_machine, m_offset, *this);
            m_complete = true;
            m_file.close();
            return false;
        }
        const char* const data = m_file.data();
        const char* const last = data + n;
        // A zero byte is no text and damages the game it stands in, as in the passes.
        for (const char* p = data; p < last;) {
            const char* zero = static_cast<const char*>(std::memchr(p, 0, last - p));
            runPgn<SearchPass>(m_machine, p, zero ? zero : last, m_offset + (p - data), *this);
            if (!zero) break;
            skipPgnGame(m_machine, m_offset + (zero - data), *this);
            m_machine.previous = '\0';
            p                  = zero + 1;
        }
        m_offset += static_cast<std::int64_t>(n);
    }
    return true;
}

void OpeningTree::startPart() {
    clear();
    m_machine = PgnMachine{};
    m_table.assign(std::size_t{1} << (64 - InitialShift), Position{});
    m_shift       = InitialShift;
    m_notingOrder = true;
}

bool OpeningTree::build(const char* path, PassControl* control) {
    clear();
    BufferedFile file;
    if (!file.open(path)) {
        m_complete = true;
        return false;
    }
    m_table.assign(std::size_t{1} << (64 - InitialShift), Position{});
    m_shift = InitialShift;
    m_size  = file.size();
    const bool finished = runRangedPass<SearchPass, OpeningTree>(
        file, control,
        [this] {
            auto range = std::make_unique<PassRange<OpeningTree>>(m_positionLimit);
            range->hooks.startPart();
            return range;
        },
        [this](PassRange<OpeningTree>& range) { absorb(range.hooks); });
    if (!finished) {
        clear();
        return false;
    }
    m_offset   = m_size;
    m_complete = true;
    return true;
}

OpeningTree::Position* OpeningTree::findOrAdd(std::uint64_t key, std::uint64_t previous) {
    if (m_count * 2 >= m_table.size() && m_count < m_positionLimit) grow();
    const std::size_t mask = m_table.size() - 1;
    std::size_t       slot = slotOf(key);
    while (m_table[slot].games && m_table[slot].key != key)
        slot = (slot + 1) & mask;
    Position& p = m_table[slot];
    if (p.games) return &p;
    if (m_count >= m_positionLimit) {
        m_full = true;
        return nullptr;
    }
    int opening = findOpening(key);
    if (opening == NoOpening && previous) {
        const Position* before = find(previous);
        opening                = before ? before->opening : NoOpening;
    }
    // The slot stays free (games 0) until counted: the caller counts it at once.
    p = {key, 0, None, None, opening};
    ++m_count;
    return &p;
}

void OpeningTree::absorb(const OpeningTree& part) {
    m_games += part.m_games;
    m_skipped += part.m_skipped;
    m_full = m_full || part.m_full;
    for (const auto& [key, previous] : part.m_firstMet) {
        const Position* from = part.find(key);
        Position*       to   = from ? findOrAdd(key, previous) : nullptr;
        if (!to) continue;
        to->games += from->games;
        for (std::uint32_t e = from->firstEdge; e != None; e = part.m_edges[e].next) {
            const Edge&   edge = part.m_edges[e];
            std::uint32_t mine = to->firstEdge;
            while (mine != None && m_edges[mine].move != edge.move)
                mine = m_edges[mine].next;
            if (mine == None) {
                mine = static_cast<std::uint32_t>(m_edges.size());
                m_edges.push_back({to->firstEdge, edge.move, 0, 0, 0, 0, 0});
                to->firstEdge = mine;
            }
            Edge& sum = m_edges[mine];
            sum.count += edge.count;
            sum.whiteWins += edge.whiteWins;
            sum.draws += edge.draws;
            sum.blackWins += edge.blackWins;
            sum.lastYear = std::max(sum.lastYear, edge.lastYear);
        }
    }
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

void OpeningTree::grow() {
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
}

OpeningTree::Position* OpeningTree::countHere() {
    if (m_count * 2 >= m_table.size() && m_count < m_positionLimit) grow();
    const std::uint64_t key  = board.hashKey;
    const std::size_t   mask = m_table.size() - 1;
    std::size_t         slot = slotOf(key);
    while (m_table[slot].games && m_table[slot].key != key)
        slot = (slot + 1) & mask;
    Position& p = m_table[slot];
    if (p.games == 0 && m_count >= m_positionLimit) {
        // A position first met after the limit is left out; those already in stay whole.
        m_full = true;
        return nullptr;
    }
    if (p.games == 0) {
        const int named = findOpening(key);
        p = {key, 0, None, None, named != NoOpening ? named : m_lineOpening};
        ++m_count;
        if (m_notingOrder) m_firstMet.emplace_back(key, m_lineKey);
    }
    m_lineOpening = p.opening;
    m_lineKey     = key;
    if (p.lastGame == m_games) return nullptr;
    p.lastGame = static_cast<std::uint32_t>(m_games);
    ++p.games;
    return &p;
}

void OpeningTree::gameStart(std::int64_t) {
    m_gameEdges.clear();
    m_year        = 0;
    m_ply         = 0;
    m_lineOpening = NoOpening;
    m_lineKey     = 0;
    m_setUp       = false;
    m_stopped     = false;
    board         = m_initial; // a game of no moves at all stands at the start too
}

void OpeningTree::tagTaken(const PgnMachine& m) {
    if (std::strcmp(m.name, "Date") == 0)
        m_year = yearOf(m.value, m.valueLength);
    else if (std::strcmp(m.name, "FEN") == 0)
        m_setUp = true; // a set-up position: its moves belong to another tree
}

void OpeningTree::movetextBegins() { board = m_initial; }

bool OpeningTree::moveToken(const char* text, int length) {
    if (m_setUp || m_stopped) return true;
    Move move{};
    if (m_ply == TreeDepth || !sanToMove(text, length - 1, &move)) {
        countHere(); // the game goes no deeper in the tree
        m_stopped = true;
        return true;
    }
    if (Position* here = countHere()) {
        const std::uint16_t code  = moveCode(move);
        std::uint32_t&      first = here->firstEdge;
        std::uint32_t       e = first, previous = None;
        while (e != None && m_edges[e].move != code) {
            previous = e;
            e        = m_edges[e].next;
        }
        if (e == None) {
            e = static_cast<std::uint32_t>(m_edges.size());
            m_edges.push_back({first, code, 0, 0, 0, 0, 0});
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
    makeMove(move);
    ++m_ply;
    // The next position's slot is fetched while the next move token is read.
    __builtin_prefetch(&m_table[slotOf(board.hashKey)]);
    return true;
}

bool OpeningTree::gameEnd(int result, std::int64_t, bool&) {
    if (m_setUp) return true;
    if (!m_stopped) countHere();
    for (const std::uint32_t e : m_gameEdges) {
        Edge& edge = m_edges[e];
        edge.whiteWins += result == WhiteWon;
        edge.draws += result == Drawn;
        edge.blackWins += result == BlackWon;
        edge.lastYear = static_cast<std::int16_t>(std::max<std::int32_t>(edge.lastYear, m_year));
    }
    ++m_games;
    return true;
}

void OpeningTree::gameSkipped(std::int64_t) {
    // What the damaged game added before the damage stays; it ends here, and the next game
    // takes a new number so that its positions count it.
    m_stopped = true;
    if (!m_setUp) {
        ++m_games;
        ++m_skipped;
    }
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
