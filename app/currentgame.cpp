#include "app/currentgame.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "engine/boardkeeper.h"
#include "records/annotations.h"
#include "records/game.h"

namespace {

bool sameMove(const Move& a, const Move& b) {
    return a.fromTo == b.fromTo && a.piece == b.piece && promotionType(a) == promotionType(b);
}

int globalMoveCount() {
    int n = 0;
    while (n < MaxGameMoves && gameMoves[n].piece != NoPiece)
        ++n;
    return n;
}

const char* terminationOf(int info) {
    return info & WhiteWon ? "1-0" : info & BlackWon ? "0-1" : info & Drawn ? "1/2-1/2" : "*";
}

// Sets the first tag named name to value (adding it when there is none); an empty value
// removes the tags of that name.
void setTag(GameTree& tree, const char* name, const std::string& value) {
    for (auto it = tree.tags.begin(); it != tree.tags.end(); ++it) {
        if (it->name != name) continue;
        if (value.empty())
            std::erase_if(tree.tags, [name](const GameTag& tag) { return tag.name == name; });
        else
            it->value = value;
        return;
    }
    if (!value.empty()) tree.tags.push_back({name, value});
}

bool isRosterTag(const std::string& name) {
    for (const char* roster : {"Event", "Site", "Date", "Round", "White", "Black", "Result", "ECO",
                               "SetUp", "FEN"})
        if (name == roster) return true;
    return false;
}

} // namespace

GameEditHistory& currentGameEdits() {
    static GameEditHistory history;
    return history;
}

bool loadCurrentGameText(const char* text, std::size_t maxLength, ParseOutcome* outcome) {
    GameTree   tree;
    const bool read = parseGameTree(text, maxLength, tree, outcome);
    loadCurrentGame(tree);
    currentGameEdits().load(std::move(tree));
    return read;
}

void takeCurrentGameFromGlobals() { currentGameEdits().load(treeOfCurrentGame()); }

bool currentTreeMatchesGlobals() {
    const GameTree& tree = currentGameTree();
    if (tree.startFen() != gameHeader.fen) return false;
    const int count = globalMoveCount();
    const auto& line = tree.mainLine.moves;
    if (static_cast<int>(line.size()) < count) return false;
    if (static_cast<int>(line.size()) > count && count < MaxGameMoves) return false;
    for (int i = 0; i < count; ++i)
        if (!sameMove(line[static_cast<std::size_t>(i)].move, gameMoves[i])) return false;
    return true;
}

void syncPlayedGame() {
    GameEditHistory& history = currentGameEdits();
    if (history.tree().startFen() != gameHeader.fen) {
        takeCurrentGameFromGlobals();
        return;
    }
    GameTree   next  = history.tree();
    const int  count = globalMoveCount();
    auto&      line  = next.mainLine.moves;
    int        same  = 0;
    while (same < count && same < static_cast<int>(line.size()) &&
           sameMove(line[static_cast<std::size_t>(same)].move, gameMoves[same]))
        ++same;
    // A tree longer than the globals can hold keeps its moves past them.
    const bool cutShort = count == MaxGameMoves && same == count;
    if (!cutShort && same < static_cast<int>(line.size())) deleteFrom(next, NodePath{same});
    if (same < count) {
        std::vector<Move> played(gameMoves + same, gameMoves + count);
        addLine(next, same == 0 ? NodePath{} : NodePath{same - 1}, played);
    }
    next.termination = terminationOf(gameHeader.info);
    history.replace(std::move(next));
}

bool setPlayedMoveClock(int ply, const std::string& command) {
    GameTree next = currentGameTree();
    auto&    line = next.mainLine.moves;
    if (ply < 0 || ply >= static_cast<int>(line.size())) return false;
    std::vector<std::string>& after = line[static_cast<std::size_t>(ply)].commentsAfter;
    if (after.empty()) {
        after.push_back(command);
    } else {
        std::string& comment = after.front();
        // A clock time already there (the move's time written before) is replaced.
        if (comment.starts_with("[%clk ")) {
            const std::size_t end = comment.find(']');
            comment.erase(0, end == std::string::npos ? comment.size() : end + 1);
            while (!comment.empty() && comment.front() == ' ') comment.erase(0, 1);
        }
        comment = comment.empty() ? command : command + " " + comment;
    }
    currentGameEdits().amend(std::move(next));
    return true;
}

void syncEditedHeader(const GameHeader& before) {
    GameTree next = currentGameTree();
    const char* const names[6] = {"Event", "Site", "Date", "Round", "White", "Black"};
    const char* const was[6]   = {before.event, before.site,  before.date,
                                  before.round, before.white, before.black};
    const char* const now[6]   = {gameHeader.event, gameHeader.site,  gameHeader.date,
                                  gameHeader.round, gameHeader.white, gameHeader.black};
    for (int i = 0; i < 6; ++i)
        if (std::strcmp(was[i], now[i]) != 0) setTag(next, names[i], now[i]);
    if ((before.info & ResultMask) != (gameHeader.info & ResultMask))
        next.termination = terminationOf(gameHeader.info);
    const bool ecoChanged   = (before.info & EcoMask) != (gameHeader.info & EcoMask);
    const bool otherChanged = std::strcmp(before.otherTags, gameHeader.otherTags) != 0;
    if (ecoChanged || otherChanged) {
        // The header's own reading of its tags: ECO from the information word, the others
        // from their text.
        const GameTree derived = treeOfCurrentGame();
        if (ecoChanged) setTag(next, "ECO", derived.tag("ECO"));
        if (otherChanged) {
            std::erase_if(next.tags, [](const GameTag& tag) { return !isRosterTag(tag.name); });
            for (const GameTag& tag : derived.tags)
                if (!isRosterTag(tag.name)) next.tags.push_back(tag);
        }
    }
    currentGameEdits().replace(std::move(next));
}

void syncHeaderFromGlobals() {
    const auto         header = std::make_unique<GameHeader>(gameHeader);
    const std::vector<Move> moves(gameMoves, gameMoves + MaxGameMoves);
    const std::int32_t ply         = gamePly;
    const auto         annotations = std::make_unique<GameAnnotations>(gameAnnotations);
    auto               derived     = std::make_unique<GameHeader>();
    {
        BoardKeeper keeper;
        loadCurrentGame(currentGameTree());
        *derived = gameHeader;
    }
    gameHeader = *header;
    std::copy(moves.begin(), moves.end(), gameMoves);
    gamePly         = ply;
    gameAnnotations = *annotations;
    syncEditedHeader(*derived);
}

void deriveCurrentGame() { loadCurrentGame(currentGameTree()); }
