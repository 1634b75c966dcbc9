// A pass of the grammar over a whole file, read in ranges on several threads (see
// filechunks.h) and joined in file order so that the result is that of one reading from the
// start: the index pass, the position search and the opening explorer's build use it.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "engine/board.h"
#include "records/bufferedfile.h"
#include "records/filechunks.h"
#include "records/passcontrol.h"
#include "records/passthreads.h"
#include "records/pgnfastindex.h"
#include "records/pgngrammar.h"

// One range of a pass: the grammar's machine and the hooks with what they gathered. Read as
// if the file began at the range; when the range before it did not end between games, that
// range's own machine and hooks read on through this one instead, and this one's results
// are dropped.
template <class Hooks>
struct PassRange {
    template <class... Args>
    explicit PassRange(Args&&... args) : hooks(std::forward<Args>(args)...) {}
    PgnMachine machine;
    Hooks      hooks;
    Board      endBoard{}; // the Board where the range's reading stopped
};

namespace ranged_pass_detail {

// Reads [from, to) of file through the grammar in pieces of buffer's size. A zero byte is no
// text: the grammar runs over the text between zero bytes, and a game that holds one is
// damaged (hooks.zeroByte hears where, when it has it). False when control stopped it; a
// read that comes short ends the range there.
template <int Mode, class Hooks>
bool runRange(const BufferedFile& file, std::int64_t from, std::int64_t to, PgnMachine& machine,
              Hooks& hooks, std::vector<char>& buffer, PassControl* control, bool reportBytes) {
    for (std::int64_t offset = from; offset < to;) {
        if (control && control->stopped()) return false;
        const std::size_t wanted = static_cast<std::size_t>(
            std::min<std::int64_t>(to - offset, static_cast<std::int64_t>(buffer.size())));
        const std::size_t n = file.readAt(offset, buffer.data(), wanted);
        if (n == 0) break;
        if (control && reportBytes) control->advance(static_cast<std::int64_t>(n));
        const char* const data = buffer.data();
        const char* const last = data + n;
        for (const char* p = data; p < last;) {
            const char* zero = static_cast<const char*>(std::memchr(p, 0, last - p));
            runPgnPass<Mode>(machine, p, zero ? zero : last, offset + (p - data), hooks);
            if (!zero) break;
            const std::int64_t at = offset + (zero - data);
            if constexpr (requires { hooks.zeroByte(at); }) hooks.zeroByte(at);
            skipPgnGame(machine, at, hooks);
            machine.previous = '\0';
            p                = zero + 1;
        }
        offset += static_cast<std::int64_t>(n);
        if (n < wanted) break;
    }
    return true;
}

} // namespace ranged_pass_detail

// Runs a pass over the whole of file on passThreads() worker threads, ranges of about
// chunkBytes, and calls take(range) on the calling thread for the ranges whose results hold,
// in file order (the last one after finishPgn), as soon as each can be: memory holds only
// the ranges read but not yet taken. makeRange() gives a fresh range. The calling thread's
// Board is left as it was. False when control stopped the pass (take may have been called
// for some ranges). An exception thrown by a worker or by take is thrown again here.
template <int Mode, class Hooks, class Make, class Take>
bool runRangedPass(const BufferedFile& file, PassControl* control, Make makeRange, Take take,
                   std::int64_t chunkBytes = passChunkBytes()) {
    using namespace ranged_pass_detail;
    const std::vector<std::int64_t> starts = chunkStarts(file, chunkBytes);
    const std::size_t               count  = starts.size() - 1;
    const std::size_t workers = std::min<std::size_t>(count, static_cast<std::size_t>(passThreads()));
    // The workers keep at most this many ranges ahead of the join.
    const std::size_t ahead = 4 * workers + 4;

    std::vector<std::unique_ptr<PassRange<Hooks>>> ranges(count);
    std::unique_ptr<std::atomic<bool>[]>           done(new std::atomic<bool>[count]);
    for (std::size_t k = 0; k < count; ++k)
        done[k] = false;
    std::atomic<std::size_t> next{0}, taken{0};
    std::atomic<bool>        stopped{false}, failed{false};
    std::exception_ptr       failure;
    std::mutex               failureLock;
    const auto               fail = [&] {
        const std::lock_guard<std::mutex> hold(failureLock);
        if (!failure) failure = std::current_exception();
        failed = true;
    };

    // Reads range k into ranges[k] and marks it done.
    const auto readRange = [&](std::size_t k, std::vector<char>& buffer) {
        try {
            if (!failed && !stopped) {
                if (buffer.empty()) buffer.resize(BufferedFile::BufferSize);
                auto range = makeRange();
                if (!runRange<Mode>(file, starts[k], starts[k + 1], range->machine, range->hooks,
                                    buffer, control, true))
                    stopped = true;
                range->endBoard = board;
                ranges[k]       = std::move(range);
            }
        } catch (...) {
            fail();
        }
        done[k] = true;
        done[k].notify_all();
    };

    const Board saved = board;
    {
        std::vector<std::jthread> pool;
        pool.reserve(workers);
        for (std::size_t t = 0; t < workers; ++t) {
            try {
                pool.emplace_back([&] {
                    std::vector<char> buffer;
                    for (std::size_t k; (k = next.fetch_add(1)) < count;) {
                        for (std::size_t t0; k >= (t0 = taken.load()) + ahead && !failed;)
                            taken.wait(t0);
                        readRange(k, buffer);
                    }
                });
            } catch (const std::system_error&) {
                // The system gives no more threads: those started read every range, and
                // with none the join reads each range itself before taking it.
                break;
            }
        }

        // The join, on this thread: its own Board serves the rare range read on.
        try {
            std::vector<char> buffer, ownBuffer;
            std::size_t       current = 0;
            for (std::size_t k = 0; k < count && !failed && !stopped; ++k) {
                if (pool.empty()) readRange(k, ownBuffer);
                done[k].wait(false);
                if (failed || stopped) break;
                if (k > 0) {
                    PassRange<Hooks>& reading = *ranges[current];
                    if (atTagSectionStart(reading.machine)) {
                        take(reading);
                        ranges[current].reset();
                        current = k;
                    } else {
                        if (buffer.empty()) buffer.resize(BufferedFile::BufferSize);
                        board = reading.endBoard;
                        if (!runRange<Mode>(file, starts[k], starts[k + 1], reading.machine,
                                            reading.hooks, buffer, control, false))
                            stopped = true;
                        reading.endBoard = board;
                        ranges[k].reset();
                    }
                }
                taken = k + 1;
                taken.notify_all();
            }
            if (!failed && !stopped) {
                PassRange<Hooks>& last = *ranges[current];
                board                  = last.endBoard;
                finishPgn<Mode>(last.machine, file.size(), last.hooks);
                take(last);
                ranges[current].reset();
            }
        } catch (...) {
            fail();
        }
        if (failed || stopped) {
            next = count; // the workers take nothing more
            taken = count;
            taken.notify_all();
        }
    } // the workers join here
    board = saved;
    if (failure) std::rethrow_exception(failure);
    return !stopped;
}
