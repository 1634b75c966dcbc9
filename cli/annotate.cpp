// annotate FILE [--games A-B] [--engine PROGRAM] [--nodes N | --depth D | --movetime MS]
// [--threads N] -o OUT.pgn: each chosen game reviewed by a UCI engine and written annotated
// to OUT.pgn, with one summary line per game.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <optional>
#include <thread>

#include "cli/commands.h"
#include "cli/filekind.h"
#include "cli/options.h"
#include "cli/recordmessages.h"
#include "cli/searchlimits.h"
#include "cli/threadsoption.h"
#include "records/bufferedfile.h"
#include "records/gameindex.h"
#include "records/indexpass.h"
#include "records/passthreads.h"
#include "records/pgnread.h"
#include "records/pgnwrite.h"
#include "review/annotatedpgn.h"
#include "review/reviewer.h"
#include "uci/enginesession.h"

namespace {

// The budget of each position without --nodes, --depth or --movetime: a node count, so that
// the review does not depend on the machine or its load.
constexpr long long DefaultNodes = 1000000;

// One chosen game, read and ready for its review.
struct ChosenGame {
    long long       number = 0;
    std::string     tags;   // the tag section as the record writer writes it, blank line included
    std::string     result; // the termination token
    ReviewGameInput input;
    GameReview      review;
    bool            done = false;
};

// "A-B" or "N", counting from 0, into first and last.
bool readRange(const std::string& text, long long& first, long long& last) {
    const std::size_t dash = text.find('-');
    if (dash == std::string::npos) {
        if (!readNumber(text, 0, 0xFFFFFFFFLL, first)) return false;
        last = first;
        return true;
    }
    return readNumber(text.substr(0, dash), 0, 0xFFFFFFFFLL, first) &&
           readNumber(text.substr(dash + 1), 0, 0xFFFFFFFFLL, last) && first <= last;
}

// OUT may be written when nothing stands there, or a regular file of its own that is not the
// input (under any name).
bool mayWriteOutput(const std::string& out, const std::string& input, std::string& error) {
    struct stat target {};
    if (::lstat(out.c_str(), &target) != 0) {
        if (errno == ENOENT) return true;
        error = "cannot check " + out + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(target.st_mode)) {
        error = out + " is " + fileKindText(target.st_mode) +
                ", not a regular file; it is left as it was";
        return false;
    }
    struct stat in {};
    if (::stat(input.c_str(), &in) == 0 && in.st_dev == target.st_dev &&
        in.st_ino == target.st_ino) {
        error = out + " is the input " + input + "; it is left as it was";
        return false;
    }
    return true;
}

// The output under a fresh name beside OUT, renamed over OUT only when complete.
class FreshOutput {
public:
    ~FreshOutput() {
        if (m_file) std::fclose(m_file);
        if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
    }
    bool open(const std::string& path, std::string& error) {
        m_path       = path;
        m_temporary  = path + ".XXXXXX";
        const int fd = ::mkstemp(m_temporary.data());
        if (fd < 0) {
            m_temporary.clear();
            error = "cannot create a file beside " + path + ": " + std::strerror(errno);
            return false;
        }
        // mkstemp makes the file private; the output is read by everyone, as a plainly
        // created file.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        m_file = ::fdopen(fd, "wb");
        if (!m_file) {
            error = "cannot write " + m_temporary + ": " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        return true;
    }
    bool write(const std::string& text) {
        if (std::fwrite(text.data(), 1, text.size(), m_file) == text.size()) return true;
        m_errno = errno;
        return false;
    }
    bool commit(std::string& error) {
        const bool closed = std::fclose(m_file) == 0;
        m_file            = nullptr;
        if (m_errno != 0 || !closed) {
            error = "cannot write " + m_temporary + ": " + std::strerror(m_errno ? m_errno : errno);
            return false;
        }
        if (std::rename(m_temporary.c_str(), m_path.c_str()) != 0) {
            error = "cannot replace " + m_path + ": " + std::strerror(errno);
            return false;
        }
        m_temporary.clear();
        return true;
    }
    const std::string& temporary() const { return m_temporary; }

private:
    std::string m_path, m_temporary;
    FILE*       m_file  = nullptr;
    int         m_errno = 0;
};

// "game N white ?! ? ?? acpl black ?! ? ?? acpl", the average loss in whole centipawns.
std::string summaryLine(const ChosenGame& game) {
    const auto side = [](const SideFigures& figures) {
        char text[64];
        std::snprintf(text, sizeof text, "%d %d %d %.0f", figures.inaccuracies, figures.mistakes,
                      figures.blunders, figures.averageCpLoss);
        return std::string(text);
    };
    return "game " + std::to_string(game.number) + " white " + side(game.review.white) + " black " +
           side(game.review.black);
}

// Reads the chosen games of the indexed file: a game that cannot be read is told on standard
// error and left out.
void readChosenGames(BufferedFile& file, const std::vector<GameEntry>& games, long long first,
                     long long last, std::vector<ChosenGame>& chosen) {
    for (long long number = first; number <= last; ++number) {
        std::string       text;
        ParseOutcome      outcome;
        const std::string name = "norvane-cli: annotate: game " + std::to_string(number) + ": ";
        if (readGameText(file, &games[static_cast<std::size_t>(number)], text) == 0) {
            std::cerr << name << "cannot be read; left out\n";
            continue;
        }
        if (!parseGameText(text.c_str(), text.size(), &outcome)) {
            std::cerr << name << parseProblemText(outcome) << "; left out\n";
            continue;
        }
        ChosenGame game;
        game.number = number;
        if (!currentGameForReview(game.input)) {
            std::cerr << name << "its start position cannot be set up; left out\n";
            continue;
        }
        std::vector<char> record(GameRecordSize);
        writeGameRecord(record.data(), record.size());
        setupStartPosition();
        const std::string written(record.data());
        const std::size_t blank = written.find("\n\n");
        game.tags               = written.substr(0, blank == std::string::npos ? 0 : blank + 2);
        const int info          = gameHeader.info;
        game.result             = info & WhiteWon   ? "1-0"
                                  : info & BlackWon ? "0-1"
                                  : info & Drawn    ? "1/2-1/2"
                                                    : "*";
        chosen.push_back(std::move(game));
    }
}

} // namespace

int runAnnotate(const Arguments& rawArgs) {
    // "-o OUT" is the output, as in many tools; the other options have two dashes.
    Arguments args;
    bool      ended = false;
    for (const std::string& arg : rawArgs) {
        ended = ended || arg == "--";
        args.push_back(!ended && arg == "-o" ? "--output" : arg);
    }
    ParsedArguments parsed;
    std::string     error;
    if (!parseFileArguments(args,
                            {{"--games", true},
                             {"--engine", true},
                             {"--nodes", true},
                             {"--depth", true},
                             {"--movetime", true},
                             {"--output", true}},
                            parsed, error))
        return usageError("annotate", error);
    if (parsed.operands.size() != 1) return usageError("annotate", "takes one FILE");
    if (!parsed.has("--output")) return usageError("annotate", "needs -o OUT.pgn");
    const std::string& path = parsed.operands[0];
    const std::string  out  = parsed.value("--output");

    ReviewSettings settings;
    long long      waitMs = 0;
    if (!readSearchLimits(parsed, {SearchBudget::Nodes, DefaultNodes}, settings.limits, waitMs,
                          error))
        return usageError("annotate", error);
    settings.searchWaitMs = waitMs;
    long long first = 0, last = -1;
    if (parsed.has("--games") && !readRange(parsed.value("--games"), first, last))
        return usageError("annotate", "--games takes A-B or N, game numbers counting from 0");

    if (parsed.has("--engine")) {
        const std::string name  = parsed.value("--engine");
        settings.engine.program = findEngineProgram(name);
        if (settings.engine.program.empty())
            return fail("annotate: no engine program \"" + name + "\" in PATH or /usr/games");
        settings.engine.title = "engine " + settings.engine.program;
    } else {
        settings.engine.program = ownProgramPath();
        if (settings.engine.program.empty())
            return fail("annotate: cannot find this program's own file to run its engine");
        settings.engine.args  = {"uci"};
        settings.engine.title = "the built-in engine";
    }
    if (!mayWriteOutput(out, path, error)) return fail("annotate: " + error);

    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    if (!file.open(path.c_str())) return fail("annotate: " + cannotOpenText(path, file));
    ScanFailure failure{};
    if (!indexFile(file, info, games, names, &failure))
        return fail("annotate: " + path + " is not a valid PGN file: " + fileProblemText(failure));
    if (games.empty()) return fail("annotate: " + path + " holds no game");
    if (!parsed.has("--games")) last = static_cast<long long>(games.size()) - 1;
    if (last >= static_cast<long long>(games.size()))
        return fail("annotate: " + path + " holds " + std::to_string(games.size()) + " games");
    std::vector<ChosenGame> chosen;
    readChosenGames(file, games, first, last, chosen);
    if (!file.unchanged())
        return fail("annotate: " + path +
                    " changed on disk while it was read; run the command again");

    FreshOutput output;
    if (!output.open(out, error)) return fail("annotate: " + error);

    // One game: its positions go to the threads. Many: the games go to the threads, one
    // engine each, and are written in game order as they are done.
    const int                threads = passThreads();
    std::mutex               mutex;
    std::condition_variable  doneChanged;
    std::string              engineError;
    std::atomic<bool>        failed{false};
    std::atomic<std::size_t> next{0};
    const auto finished = [&](ChosenGame& game, ReviewOutcome outcome, const std::string& why) {
        const std::lock_guard lock(mutex);
        if (outcome != ReviewOutcome::Done) {
            if (engineError.empty()) engineError = why;
            failed = true;
        }
        game.done = true;
        doneChanged.notify_all();
    };
    const EngineSetup        setup = reviewEngineSetup(settings.engine);
    std::vector<std::thread> pool;
    if (chosen.size() == 1) {
        settings.threads = threads;
        pool.emplace_back([&] {
            std::string         why;
            const ReviewOutcome outcome =
                reviewGame(chosen[0].input, settings, chosen[0].review, why);
            finished(chosen[0], outcome, why);
        });
    } else {
        const std::size_t workers =
            std::min<std::size_t>(static_cast<std::size_t>(threads), chosen.size());
        for (std::size_t w = 0; w < workers; ++w)
            pool.emplace_back([&] {
                EngineSession session;
                std::string   why;
                const bool    opened = session.open(setup, why);
                for (std::size_t k; !failed && (k = next.fetch_add(1)) < chosen.size();) {
                    if (!opened) {
                        finished(chosen[k], ReviewOutcome::Failed, why);
                        break;
                    }
                    const ReviewOutcome outcome = reviewGameWith(
                        session, chosen[k].input, settings, chosen[k].review, why, {}, &failed);
                    finished(chosen[k], outcome, why);
                }
            });
    }

    bool written = true;
    for (ChosenGame& game : chosen) {
        {
            std::unique_lock lock(mutex);
            doneChanged.wait(lock, [&] { return game.done || failed; });
        }
        if (failed) break;
        written = written && output.write(game.tags) &&
                  output.write(annotatedMovetext(game.input, game.review, game.result)) &&
                  output.write("\n");
        std::cout << summaryLine(game) << '\n' << std::flush;
    }
    for (std::thread& thread : pool)
        thread.join();
    if (failed) return fail("annotate: " + engineError);
    if (!output.commit(error)) return fail("annotate: " + error);
    std::cout << "games " << chosen.size() << '\n';
    return 0;
}
