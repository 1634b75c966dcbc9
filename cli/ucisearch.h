// The UCI engine's search on a thread of its own, so that the command reader stays free to
// answer isready and to pass on stop and quit while the engine thinks.
//
// The engine's state (the Board, the search tables) is process-wide and not shared: while a
// search runs, its thread alone touches it. The reader calls settle or stop, which return only
// once the search thread has ended, before it touches the engine itself.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "engine/board.h"
#include "engine/think.h"

class UciSearch {
public:
    // say writes one line of output; the search thread calls it for info and bestmove.
    explicit UciSearch(void (*say)(const std::string& line)) : m_say(say) {}
    ~UciSearch() { stop(); }
    UciSearch(const UciSearch&)            = delete;
    UciSearch& operator=(const UciSearch&) = delete;

    // Searches the Board's position under limits and then writes bestmove. An infinite search
    // writes its bestmove only after stop, however soon it has found its move.
    void start(const ThinkLimits& limits, bool infinite);
    // Ends the running search at its next look at the clock; returns once its bestmove is out.
    void stop();
    // Lets a running search end by its own limits, and returns then; an infinite one is
    // stopped, since nothing else would end it.
    void settle();

private:
    void run(ThinkLimits limits, Board start);

    void (*m_say)(const std::string& line);
    std::thread             m_thread;
    std::mutex              m_mutex;
    std::condition_variable m_stopSent;
    std::atomic<bool>       m_stopFlag{false};  // the running search's stop request
    bool                    m_infinite = false;  // the running search waits for stop
    bool                    m_stop     = false;  // stop was sent to the running search
};
