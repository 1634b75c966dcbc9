// What the engine's running think has found so far, for the status line. The think runs in
// the background (CBackgroundTask, see docs/threads.md); its worker records each finished
// iteration here and the window's thread reads it a few times a second.
#pragma once

// What the running think has found so far: its last finished iteration.
struct ThinkProgress {
    int  depth = 0;      // 0 until the first iteration finishes
    int  score = 0;      // from the engine's view
    char bestSan[8] = {}; // SAN of the iteration's best move, empty before
};

// For ThinkLimits::iterationDone: records the finished iteration and its best move as the
// running think's progress. Runs on the think's worker, on that thread's own Board.
void recordThinkProgress(int depth, int score);
// The progress recorded since the last clear.
ThinkProgress thinkProgress();
// Forgets the progress: a new think starts.
void clearThinkProgress();
