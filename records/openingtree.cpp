#include "records/openingtree.h"

#include <algorithm>
#include <cstring>

#include "book/openings.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
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

OpeningTree::OpeningTree() {
    const Board saved = board;
    setupStartKeepingMoves();
    m_initial = board;
    board     = saved;
}

void OpeningTree::clear() {
    m_file.close();
    m_positions = {};
    m_edges     = {};
    m_slots     = {};
    m_gameEdges.clear();
    m_games    = 0;
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
    m_slots.assign(1 << 16, 0);
    return true;
}

bool OpeningTree::step(int chunks) {
    if (!m_file.isOpen()) return false;
    BoardSwap swap(m_board);
    for (int k = 0; k < chunks; ++k) {
        std::size_t n = m_file.seek(m_offset) ? m_file.refill() : 0;
        const char* data  = m_file.data();
        bool        ended = n == 0;
        // A zero byte ends the file, as it does for the index pass.
        if (const void* zero = n ? std::memchr(data, 0, n) : nullptr) {
            n     = static_cast<std::size_t>(static_cast<const char*>(zero) - data);
            ended = true;
        }
        if (n) runPgn<SearchPass>(m_machine, data, data + n, m_offset, *this);
        m_offset += static_cast<std::int64_t>(n);
        // A file that breaks the grammar keeps what was read before the fault.
        if (ended || m_machine.state == PgnFailed) {
            m_complete = m_machine.state == BetweenGames;
            m_file.close();
            return false;
        }
    }
    return true;
}

bool OpeningTree::build(const char* path) {
    if (!start(path)) return false;
    while (step(16)) {
    }
    return m_complete;
}

std::size_t OpeningTree::memoryBytes() const {
    return m_positions.capacity() * sizeof(Position) + m_edges.capacity() * sizeof(Edge) +
           m_slots.capacity() * sizeof(std::uint32_t);
}

std::uint32_t OpeningTree::find(std::uint64_t key) const {
    if (m_slots.empty()) return None;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = key & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t entry = m_slots[slot];
        if (entry == 0) return None;
        if (m_positions[entry - 1].key == key) return entry - 1;
    }
}

void OpeningTree::grow() {
    std::vector<std::uint32_t> slots(m_slots.size() * 2, 0);
    const std::size_t          mask = slots.size() - 1;
    for (std::uint32_t i = 0; i < m_positions.size(); ++i) {
        std::size_t slot = m_positions[i].key & mask;
        while (slots[slot])
            slot = (slot + 1) & mask;
        slots[slot] = i + 1;
    }
    m_slots.swap(slots);
}

std::uint32_t OpeningTree::findOrAdd(std::uint64_t key, int lineOpening) {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t       slot = key & mask;
    for (; m_slots[slot]; slot = (slot + 1) & mask)
        if (m_positions[m_slots[slot] - 1].key == key) return m_slots[slot] - 1;
    const int named = findOpening(key);
    m_positions.push_back({key, 0, None, None, named != NoOpening ? named : lineOpening});
    m_slots[slot] = static_cast<std::uint32_t>(m_positions.size());
    if (m_positions.size() * 2 > m_slots.size()) grow();
    return static_cast<std::uint32_t>(m_positions.size() - 1);
}

std::uint32_t OpeningTree::countHere() {
    const std::uint32_t index = findOrAdd(board.hashKey, m_lineOpening);
    Position&           p     = m_positions[index];
    m_lineOpening             = p.opening;
    if (p.lastGame == m_games) return None;
    p.lastGame = static_cast<std::uint32_t>(m_games);
    ++p.games;
    return index;
}

void OpeningTree::gameStart(std::int64_t) {
    m_gameEdges.clear();
    m_year        = 0;
    m_ply         = 0;
    m_lineOpening = NoOpening;
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
    const std::uint32_t index = countHere();
    if (index != None) {
        const std::uint16_t code = moveCode(move);
        std::uint32_t       e    = m_positions[index].firstEdge;
        while (e != None && m_edges[e].move != code)
            e = m_edges[e].next;
        if (e == None) {
            e = static_cast<std::uint32_t>(m_edges.size());
            m_edges.push_back({m_positions[index].firstEdge, code, 0, 0, 0, 0, 0});
            m_positions[index].firstEdge = e;
        }
        ++m_edges[e].count;
        m_gameEdges.push_back(e);
    }
    makeMove(move);
    ++m_ply;
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

int OpeningTree::openingAt(std::uint64_t key) const {
    const std::uint32_t index = find(key);
    return index == None ? findOpening(key) : m_positions[index].opening;
}

TreeAnswer OpeningTree::answer() const {
    TreeAnswer          result;
    const std::uint32_t index = find(board.hashKey);
    if (index == None) return result;
    result.games = m_positions[index].games;
    Move legal[256];
    Move* const end = genAllMoves(board.sideToMove, legal);
    for (std::uint32_t e = m_positions[index].firstEdge; e != None; e = m_edges[e].next) {
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
        row.opening = openingAt(board.hashKey);
        unmakeMove(*m);
        result.moves.push_back(row);
    }
    std::sort(result.moves.begin(), result.moves.end(),
              [](const TreeMoveRow& a, const TreeMoveRow& b) {
                  return a.count != b.count ? a.count > b.count : std::strcmp(a.san, b.san) < 0;
              });
    return result;
}
