// The game parser on any text; a game it reads must survive writing and reading again: its
// main line through the record writer, and the whole tree through the lossless writer, which
// must give the same bytes a second time.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_common.h"
#include "records/gametreewrite.h"
#include "records/pgnread.h"
#include "records/pgnwrite.h"

namespace {

// Two Result tags OR their bits; the writer writes the first of 1-0, 0-1, 1/2-1/2 that is set.
int writtenInfo(int info) {
    const int result = info & WhiteWon ? WhiteWon : info & BlackWon ? BlackWon : info & Drawn;
    return (info & EcoMask) | result;
}

bool hasBraceInComment(const MoveLine& line) {
    for (const MoveNode& node : line.moves) {
        for (const auto* texts : {&node.commentsBefore, &node.commentsAfter})
            for (const std::string& text : *texts)
                if (text.find('}') != std::string::npos) return true;
        for (const MoveLine& side : node.variations)
            if (hasBraceInComment(side)) return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!parseGameText(text.c_str(), text.size())) return 0;

    std::vector<Move> moves;
    for (int i = 0; i < MaxGameMoves && gameMoves[i].piece; ++i)
        moves.push_back(gameMoves[i]);
    const std::uint16_t info  = gameHeader.info;
    const std::string   other = gameHeader.otherTags;

    std::vector<char> record(GameRecordSize);
    writeGameRecord(record.data(), record.size());
    const std::size_t length = std::strlen(record.data());
    FUZZ_CHECK(length + 1 < record.size()); // never cut
    FUZZ_CHECK(parseGameText(record.data(), length));
    FUZZ_CHECK(gameHeader.info == writtenInfo(info));
    FUZZ_CHECK(other == gameHeader.otherTags);
    for (std::size_t i = 0; i < moves.size(); ++i)
        FUZZ_CHECK(gameMoves[i].fromTo == moves[i].fromTo && gameMoves[i].flags == moves[i].flags);
    FUZZ_CHECK(moves.size() == MaxGameMoves || gameMoves[moves.size()].piece == 0);
    // A tag value may hold a CR of its own: then the text keeps its LF line ends.
    const int code = toCrLf(record.data(), record.size());
    FUZZ_CHECK(code == CrLfDone || (code == CrLfLoneCr && std::strchr(record.data(), '\r')));

    GameTree tree, back;
    FUZZ_CHECK(parseGameTree(text.c_str(), text.size(), tree));
    const std::string written = writeGameTree(tree);
    FUZZ_CHECK(parseGameTree(written.c_str(), written.size(), back));
    // A comment can hold a "}" only where a line of it that looks like a tag line ran over
    // one; the writer leaves that brace out, so only such a tree may read back otherwise (it
    // still reads).
    bool brace = hasBraceInComment(tree.mainLine);
    for (const std::string& comment : tree.comments)
        brace = brace || comment.find('}') != std::string::npos;
    if (brace) return 0;
    FUZZ_CHECK(sameGame(tree, back));
    FUZZ_CHECK(writeGameTree(back) == written);
    return 0;
}
