#include "book/namedline.h"

#include "engine/makemove.h"
#include "records/textout.h"

NamedPosition lastNamedPosition(std::span<const Move> earlier, std::span<const Move> later) {
    const std::size_t total  = earlier.size() + later.size();
    const auto        moveAt = [&](std::size_t i) -> const Move& {
        return i < earlier.size() ? earlier[i] : later[i - earlier.size()];
    };
    NamedPosition named;
    std::size_t   back = 0;
    for (;; ++back) {
        if (const int eco = findOpening(board.hashKey); eco != NoOpening) {
            named = {eco, static_cast<int>(back)};
            break;
        }
        if (back == total) break;
        unmakeMove(moveAt(total - 1 - back));
    }
    for (std::size_t i = total - back; i < total; ++i)
        makeMove(moveAt(i));
    return named;
}

NamedPosition shownOpening(const OpeningNameSettings& settings, std::span<const Move> earlier,
                           std::span<const Move> later) {
    if (settings.keepLastNamed) return lastNamedPosition(earlier, later);
    return {findOpening(board.hashKey), 0};
}

void openingLabelText(const NamedPosition& named, const OpeningNameSettings& settings, char* buffer,
                      std::size_t size) {
    TextOut out(buffer, size);
    if (named.ecoIndex < 0 || named.ecoIndex >= OpeningCount) return;
    char code[4];
    ecoCodeText(named.ecoIndex, code);
    out.put(code);
    if (named.pliesBack > 0) out.put(LeftNamedLineMark);
    out.put(' ').put(openingDisplayName(named.ecoIndex, settings));
}

std::string explorerOpeningText(int ecoIndex, bool own, const OpeningNameSettings& settings) {
    if (ecoIndex < 0 || ecoIndex >= OpeningCount) return {};
    if (own) return openingDisplayName(ecoIndex, settings);
    if (!settings.keepLastNamed) return {};
    char label[OpeningTextSize];
    openingLabelText({ecoIndex, 1}, settings, label, sizeof label);
    return label;
}
