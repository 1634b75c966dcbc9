#include "records/annotations.h"

GameAnnotations gameAnnotations;

int GameAnnotations::lineTo(std::size_t index, Move* out, int capacity) const {
    if (index >= notes.size() || notes[index].kind != NoteKind::Move) return 0;
    const int count = notes[index].length;
    if (count > capacity) return 0;
    int at = static_cast<int>(index);
    for (int k = count - 1; k >= 0 && at >= 0; --k) {
        out[k] = notes[static_cast<std::size_t>(at)].move;
        at     = notes[static_cast<std::size_t>(at)].value;
    }
    return count;
}
