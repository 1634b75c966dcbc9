// Helper of san-vs-chessjs.sh. Reads lines "FEN<TAB>SAN SAN ..." and answers, per line,
// "uci:san ..." for every legal move of the position as moveToSan writes it, a tab, and
// for every given SAN the move sanToMove reads from it in coordinate form ("-" when it
// reads none).
#include <algorithm>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/attacks.h"
#include "engine/coords.h"
#include "engine/fensetup.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "records/san.h"

int main() {
    initEngine();
    std::ios::sync_with_stdio(false);
    std::string line;
    while (std::getline(std::cin, line)) {
        const std::size_t tab = line.find('\t');
        const std::string fen = line.substr(0, tab);
        char              error[128];
        if (!setupFromFen(fen.c_str(), error, sizeof error)) {
            std::cout << "error " << error << "\n";
            continue;
        }
        Move        legal[MaxMovesPerPly];
        Move* const end = genLegalMoves(legal);
        std::vector<std::string> written;
        for (Move* m = legal; m != end; ++m) {
            char uci[8], san[8];
            moveToCoords(*m, uci);
            moveToSan(*m, san);
            written.push_back(std::string(uci) + ":" + san);
        }
        std::sort(written.begin(), written.end());
        std::string out;
        for (const std::string& w : written) out += (out.empty() ? "" : " ") + w;
        out += '\t';
        std::istringstream tokens(tab == std::string::npos ? "" : line.substr(tab + 1));
        std::string        token;
        bool               first = true;
        while (tokens >> token) {
            Move move{};
            char uci[8] = "-";
            if (sanToMove(token.c_str(), static_cast<int>(token.size()) - 1, &move)) moveToCoords(move, uci);
            out += (first ? "" : " ") + std::string(uci);
            first = false;
        }
        std::cout << out << "\n";
    }
}
