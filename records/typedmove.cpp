#include "records/typedmove.h"

#include <cctype>
#include <string>

#include "engine/coords.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "records/san.h"

namespace {

std::string trimmed(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return std::string(text.substr(first, last - first));
}

// The form typed text and a move's SAN are compared in: no check or comment marks, no "=" before
// a promotion letter, that letter in upper case, castling with the letter O.
std::string comparable(std::string text) {
    while (!text.empty() && (text.back() == '+' || text.back() == '#' || text.back() == '!' ||
                             text.back() == '?'))
        text.pop_back();
    std::string out;
    for (char c : text)
        if (c != '=') out += c;
    if (out.size() >= 2 && (out[0] == '0' || out[0] == 'o') && out[1] == '-')
        for (char& c : out)
            if (c == '0' || c == 'o') c = 'O';
    // A promotion letter after a last-rank digit.
    if (out.size() >= 3 && (out[out.size() - 2] == '8' || out[out.size() - 2] == '1') &&
        std::isalpha(static_cast<unsigned char>(out.back())) && out[0] >= 'a' && out[0] <= 'h')
        out.back() = static_cast<char>(std::toupper(static_cast<unsigned char>(out.back())));
    return out;
}

// The SAN of a piece move without the file or rank that tells it from a twin: "Nbd2" -> "Nd2".
std::string withoutDisambiguation(const std::string& san, const Move& move) {
    if (san.empty() || !std::isupper(static_cast<unsigned char>(san[0])) || san[0] == 'O')
        return san;
    const int   to = moveTo(move);
    std::string text(1, san[0]);
    if (san.find('x') != std::string::npos) text += 'x';
    text += static_cast<char>('a' + fileOf(to));
    text += static_cast<char>('1' + rankOf(to));
    return text;
}

// The text names exactly one legal move as sanToMove or coordsToMove reads it.
bool readsAsMove(const std::string& text, Move* out) {
    if (text.empty() || text.size() > 8) return false;
    return coordsToMove(text.c_str(), out) ||
           sanToMove(text.c_str(), static_cast<int>(text.size()) - 1, out);
}

TypedMove match(const std::string& text) {
    TypedMove         answer;
    const std::string key = comparable(text);
    std::string       lowerKey;
    for (char c : key) lowerKey += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    Move              legal[MaxMovesPerPly];
    const Move*       end = genLegalMoves(legal);
    std::vector<Move> ambiguous, started;
    for (const Move* m = legal; m != end; ++m) {
        char san[8], coords[8];
        moveToSan(*m, san);
        moveToCoords(*m, coords);
        const std::string sanKey = comparable(san);
        if (withoutDisambiguation(sanKey, *m) == key && sanKey != key) ambiguous.push_back(*m);
        if (sanKey.rfind(key, 0) == 0 || std::string(coords).rfind(lowerKey, 0) == 0)
            started.push_back(*m);
    }
    // sanToMove takes the first of twins that fit a move without its file or rank; typed,
    // such a move is ambiguous.
    Move named{};
    if (ambiguous.size() >= 2) {
        answer.status     = TypedAmbiguous;
        answer.candidates = std::move(ambiguous);
    } else if (readsAsMove(text, &named)) {
        answer.status = TypedComplete;
        answer.move   = named;
        answer.candidates.push_back(named);
    } else if (!started.empty()) {
        answer.status     = TypedPartial;
        answer.candidates = std::move(started);
    } else {
        answer.status = TypedIllegal;
    }
    return answer;
}

}  // namespace

TypedMove readTypedMove(std::string_view text) {
    const std::string typed = trimmed(text);
    if (typed.empty()) return {};
    TypedMove answer = match(typed);
    // A piece letter in lower case: n, r, q and k never begin a pawn move; b does (the b-file),
    // so a typed "bc4" is a bishop's only when no pawn move reads so.
    const char first = typed[0];
    if (answer.status == TypedIllegal && (first == 'n' || first == 'r' || first == 'q' ||
                                          first == 'k' || first == 'b')) {
        std::string upper = typed;
        upper[0]          = static_cast<char>(std::toupper(static_cast<unsigned char>(first)));
        TypedMove retry   = match(upper);
        if (retry.status != TypedIllegal) answer = std::move(retry);
    }
    return answer;
}
