#include "view/thinkprogress.h"

#include <mutex>

#include "engine/search.h"
#include "records/san.h"

namespace {

// The progress of the one think that can run at a time: the worker writes it at the end of
// each iteration, the window's thread reads it for the status line.
std::mutex    progressLock;
ThinkProgress progress;

} // namespace

void recordThinkProgress(int depth, int score) {
    // The root's best move, on the worker's own Board; the SAN makes and unmakes it, leaving
    // the tables the next iteration uses as they were.
    ThinkProgress now;
    now.depth = depth;
    now.score = score;
    if (pvTable[0][0].fromTo != 0) moveToSan(pvTable[0][0], now.bestSan);
    const std::lock_guard<std::mutex> hold(progressLock);
    progress = now;
}

ThinkProgress thinkProgress() {
    const std::lock_guard<std::mutex> hold(progressLock);
    return progress;
}

void clearThinkProgress() {
    const std::lock_guard<std::mutex> hold(progressLock);
    progress = ThinkProgress{};
}
