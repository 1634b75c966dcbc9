#include "uci/pvsan.h"

#include <algorithm>
#include <cstdlib>

#include "engine/boardkeeper.h"
#include "engine/coords.h"
#include "engine/fensetup.h"
#include "engine/makemove.h"
#include "records/san.h"

namespace {

// The FEN's move number (its sixth field), 1 when it has none or it is not a number.
int fenMoveNumber(const std::string& fen) {
    std::size_t start = 0;
    for (int field = 0; field < 5; ++field) {
        start = fen.find_first_not_of(' ', start);
        if (start == std::string::npos) return 1;
        start = fen.find(' ', start);
        if (start == std::string::npos) return 1;
    }
    const char* text = fen.c_str() + fen.find_first_not_of(' ', start);
    char*       end  = nullptr;
    const long  n    = std::strtol(text, &end, 10);
    return end != text && n >= 1 && n < 100000 ? static_cast<int>(n) : 1;
}

}  // namespace

bool pvToSan(const std::string& fen, const std::vector<std::string>& played,
             const std::vector<std::string>& pv, SanLine& out) {
    out = SanLine{};
    const BoardKeeper keeper;
    char              error[128];
    if (fen.empty())
        setupStartBoard();
    else if (!setupBoardFromFen(fen.c_str(), error, sizeof error))
        return false;
    int ply = (fenMoveNumber(fen) - 1) * 2 + (board.sideToMove == Black ? 1 : 0);
    for (const std::string& text : played) {
        Move move{};
        if (!coordsToMove(text.c_str(), &move)) return false;
        makeMove(move);
        ++ply;
    }
    out.firstMoveNumber = ply / 2 + 1;
    out.whiteFirst      = ply % 2 == 0;
    for (const std::string& text : pv) {
        Move move{};
        char san[8];
        if (!coordsToMove(text.c_str(), &move) || !moveToSan(move, san)) break;
        out.san.emplace_back(san);
        char coords[8];
        moveToCoords(move, coords);
        out.coords.emplace_back(coords);
        makeMove(move);
    }
    return true;
}

std::string numberedSan(const SanLine& line, int count) {
    const std::size_t shown =
        count < 0 ? line.san.size() : std::min(line.san.size(), static_cast<std::size_t>(count));
    std::string text;
    for (std::size_t i = 0; i < shown; ++i) {
        const std::size_t ply    = i + (line.whiteFirst ? 0 : 1);
        const int         number = line.firstMoveNumber + static_cast<int>(ply / 2);
        if (!text.empty()) text += ' ';
        if (ply % 2 == 0)
            text += std::to_string(number) + ". ";
        else if (i == 0)
            text += std::to_string(number) + "... ";
        text += line.san[i];
    }
    return text;
}
