// The opening explorer of an open file: every position of the first TreeDepth plies of its
// games, matched by hash key (so transpositions meet), with the moves played from it, how
// often and how they scored. Built in memory by one pass over the file; nothing is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/board.h"
#include "records/bufferedfile.h"
#include "records/passcontrol.h"
#include "records/pgngrammar.h"
#include "records/pgntags.h"

// The tree holds the positions at plies 0..TreeDepth of every game and the move played from
// each of them before ply TreeDepth. A game that passes through a position more than once
// counts once there, with the move it played the first time.
inline constexpr int TreeDepth = 30;

// One move played from a position.
struct TreeMoveRow {
    Move          move; // legal in the position asked about
    char          san[8];
    std::uint32_t count;
    std::uint32_t whiteWins, draws, blackWins; // unfinished games ("*") are in none of them
    std::int32_t  lastYear;                    // 0: no game with this move had a dated tag
    std::int32_t  opening;                     // ECO index of the position reached, or NoOpening
    bool          openingOwn;                  // the table names that position itself
};

struct TreeAnswer {
    std::uint32_t            games = 0; // games through the position
    std::vector<TreeMoveRow> moves;     // most played first; equal counts by SAN
};

// Positions the tree holds at most, and the bytes its tables may take (the positions' table,
// with the old copy while it grows, and the moves). A file with more keeps the positions met
// first, each with all its games, and leaves the others out; once the bytes are spent, a move
// first played later from a position already in is left out too.
inline constexpr std::size_t TreePositionLimit = std::size_t{1} << 23;
inline constexpr std::size_t TreeByteLimit     = std::size_t{640} << 20;

enum class TreeBuild : std::uint8_t { NotBuilt, Built, CannotOpen, Stopped, FileChanged };

class OpeningTree {
public:
    explicit OpeningTree(std::size_t positionLimit = TreePositionLimit,
                         std::size_t byteLimit     = TreeByteLimit);

    // The whole build at once, on passThreads() threads: each reads ranges of the file into a
    // tree of its own, and the parts are joined in file order into this one, which ends as one
    // reading from the start would (the same positions, counts and openings). False when the
    // file cannot be opened, control stopped the build or the file changed while it was read
    // (the tree is then cleared; outcome() says which). The Board is the caller's before and
    // after. May run on any thread; the tree must not be read meanwhile.
    bool build(const char* path, PassControl* control = nullptr);
    // The same over a file already open: a file whose size or modification time differs from
    // those it was opened with once it has been read fails, as FileChanged.
    bool build(BufferedFile& file, PassControl* control = nullptr);
    // How the last build ended.
    TreeBuild outcome() const { return m_outcome; }
    // Drops everything.
    void clear();

    // Whether positions (or moves) were left out at the position or byte limit.
    bool         full() const { return m_full; }
    std::size_t  positionCount() const { return m_count; }
    // Games replayed into the tree (games with a set-up position or of another variant are
    // left out).
    std::size_t  gameCount() const { return m_games - m_skipped; }
    // What the tree holds in memory, its tables at their capacity.
    std::size_t memoryBytes() const;

    // The moves played from the Board's position, and the games through it. The Board is left
    // as it was found.
    TreeAnswer answer() const;

    // The ECO index the tree keeps for a position: its own opening when the table names it,
    // else the one named last on the way to it in the first game that reached it.
    int openingAt(std::uint64_t key) const;

    // Hooks of the grammar (public for it; not for other callers).
    void gameStart(std::int64_t offset);
    void tagTaken(const PgnMachine& m);
    void movetextBegins();
    bool moveToken(const char* text, int length);
    bool gameEnd(int result, std::int64_t lastOffset, bool& stop);
    void gameSkipped(std::int64_t offset);
    void strayByte(std::int64_t, unsigned char) {}

private:
    static constexpr std::uint32_t None = 0xFFFFFFFF;

    // The positions stand in an open-addressing table by key, at most half full.
    struct Position {
        std::uint64_t key;
        std::uint32_t games; // 0: a free slot
        std::uint32_t lastGame; // the last game counted here, so that a game counts once
        std::uint32_t firstEdge;
        std::int32_t  opening;
    };
    struct Edge {
        std::uint32_t next; // the position's next edge, or None
        std::uint16_t move; // fromTo | promotion type << 12
        std::int16_t  lastYear;
        std::uint32_t count, whiteWins, draws, blackWins;
    };

    static constexpr int InitialShift = 48; // 65536 slots

    std::size_t   slotOf(std::uint64_t key) const;
    const Position* find(std::uint64_t key) const;
    // Doubles the positions' table when the bytes allow it (the old table and the new one are
    // both held while it grows); false when they do not.
    bool            grow();
    // Room for one more move; false when the bytes do not allow it. The vector's spare room
    // is looked at here, in line: it is grown (growEdges) once in thousands of moves.
    bool            roomForEdge() { return m_edges.size() < m_edges.capacity() || growEdges(); }
    bool            growEdges();
    // The positions a game passed, each with the move played from it (NoEdgeMove at the last
    // one); they are gathered while the game is replayed and counted in one go, so that the
    // table's slots can be fetched ahead.
    static constexpr std::uint16_t NoEdgeMove = 0xFFFF;
    struct GamePly {
        std::uint64_t key;
        std::uint16_t move;
    };
    // A game of a part's log: its plies end at pliesEnd in the log.
    struct LoggedGame {
        std::uint32_t pliesEnd;
        std::int32_t  year;
        std::int32_t  result;
        bool          skipped;
    };

    // What a part of a threaded build keeps: game by game, the positions each passed and the
    // moves it played from them.
    struct PartLog {
        std::vector<GamePly>    plies;
        std::vector<LoggedGame> games;
    };
    // A part of a threaded build: empty, ready to read a range of the file, its log in spare's
    // memory (the parts pass their memory on, so that each range does not pay for fresh
    // pages). It replays the range's games into the log; it holds no table of its own.
    void startPart(PartLog spare);
    // Counts a part's games, read from the ranges after everything already in, into this
    // tree, in their order: as one reading from the start would have counted them. Answers the part's
    // log, emptied, for another part.
    PartLog absorb(OpeningTree& part);

    // Counts the current game at the position of key (once per game) and answers the
    // position, or null when the game was counted there already.
    Position* countAt(std::uint64_t key);
    // Counts a game into the tree: the positions it passed and the moves it played from them,
    // in order; the moves score its result unless it was skipped as damaged.
    void countGame(const GamePly* plies, std::size_t count, int result, std::int32_t year,
                   bool skipped);
    // The game being read ends (skipped: dropped where it was damaged): counted, or logged by
    // a part.
    void finishGame(int result, bool skipped);

    std::vector<Position>      m_table;
    std::size_t                m_count = 0; // positions in the table
    std::size_t                m_positionLimit;
    std::size_t                m_byteLimit;
    bool                       m_full = false;
    std::vector<Edge>          m_edges;
    int                        m_shift = InitialShift;
    std::size_t                m_games = 0;
    std::size_t                m_skipped = 0; // damaged games, dropped where the damage is

    Board                      m_initial{}; // the initial position
    TreeBuild                  m_outcome = TreeBuild::NotBuilt;
    // The game being read.
    std::vector<GamePly>       m_plies;
    std::vector<std::uint32_t> m_gameEdges; // the edges being counted, scored at the end
    GameTags                   m_tags;
    std::int32_t               m_year        = 0;
    int                        m_ply         = 0;
    int                        m_lineOpening = -1;
    // A part: its games, logged instead of counted.
    bool                       m_logging = false;
    PartLog                    m_log;
    bool                       m_setUp       = false; // a FEN tag or another variant: not replayed
    bool                       m_stopped     = false; // at the depth, or at a move not read
};
