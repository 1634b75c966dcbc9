#include "uci/enginesession.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>

#include "uci/processrunner.h"
#include "uci/uciclient.h"

namespace {

// Waits beyond the client's own timeouts, so that those come first and say what went wrong.
constexpr int TimeoutSlackMs = 1000;
// How long a quit engine has to end by itself before it is killed.
constexpr int QuitGraceMs = 2000;
// The longest excerpt of an engine's line quoted in an error.
constexpr std::size_t QuotedLength = 60;

bool isExecutableFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The engines' process groups while they run, for the signal handler: a Ctrl-C or a kill that
// ends this program ends its engines with it (each engine has a group of its own, so the
// terminal's signals do not reach it). A free slot holds 0.
constexpr int      GuardSlots = 512;
std::atomic<pid_t> runningEngines[GuardSlots];
std::mutex         guardMutex;     // over guardUsers and savedActions
int                guardUsers = 0; // sessions registered; the handlers are in place while above 0
constexpr int      GuardSignals[3] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction   savedActions[3]{};

extern "C" void endWithEngines(int signalNumber) {
    for (std::atomic<pid_t>& slot : runningEngines) {
        const pid_t pid = slot.load();
        if (pid <= 0) continue;
        // Only while the child is not yet reaped, so that its number is still its own.
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0) {
            ::kill(-pid, SIGKILL);
            ::kill(pid, SIGKILL);
        }
    }
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

// Holds the handlers, and the engine's number for them, while an engine runs.
class EngineGuard {
public:
    explicit EngineGuard(pid_t pid) {
        const std::lock_guard lock(guardMutex);
        if (guardUsers++ == 0) {
            struct sigaction action {};
            action.sa_handler = endWithEngines;
            sigemptyset(&action.sa_mask);
            for (std::size_t i = 0; i < std::size(GuardSignals); ++i)
                ::sigaction(GuardSignals[i], &action, &savedActions[i]);
        }
        for (int i = 0; i < GuardSlots; ++i) {
            pid_t free = 0;
            if (runningEngines[i].compare_exchange_strong(free, pid)) {
                m_slot = i;
                break;
            }
        }
    }
    ~EngineGuard() {
        const std::lock_guard lock(guardMutex);
        if (m_slot >= 0) runningEngines[m_slot].store(0);
        if (--guardUsers == 0)
            for (std::size_t i = 0; i < std::size(GuardSignals); ++i)
                ::sigaction(GuardSignals[i], &savedActions[i], nullptr);
    }
    EngineGuard(const EngineGuard&)            = delete;
    EngineGuard& operator=(const EngineGuard&) = delete;

private:
    int m_slot = -1; // -1 when every slot was taken: that engine is left to its input's end
};

// An engine's line as an error quotes it: printable ASCII, cut short when long.
std::string quoted(const std::string& line) {
    std::string text;
    for (char c : line.substr(0, QuotedLength))
        text += c >= 0x20 && c < 0x7f ? c : '?';
    return "\"" + text + (line.size() > QuotedLength ? "...\"" : "\"");
}

// How the engine ended: its exit status, or the signal that ended it by name.
std::string howItEnded(const UciError& error, const ProcessRunner& runner) {
    if (runner.exit().signaled) {
        const char* name = ::strsignal(runner.exit().signal);
        return "killed by signal " + std::to_string(runner.exit().signal) +
               (name ? std::string(", ") + name : std::string());
    }
    return error.text;
}

std::string seconds(std::int64_t ms) {
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + (ms == 1000 ? " second" : " seconds")
                          : std::to_string(ms) + " ms";
}

// The one sentence for a session that failed while doing what.
std::string describeFailure(const std::string& title, const std::string& doing,
                            const UciClient& client, const UciTimeouts& timeouts,
                            const ProcessRunner& runner) {
    const UciError& error = client.error();
    switch (error.kind) {
    case UciErrorKind::HandshakeTimeout:
        return title + " did not answer uci within " + seconds(timeouts.handshakeMs);
    case UciErrorKind::ReadyTimeout:
        return title + " did not answer isready within " + seconds(timeouts.readyMs);
    case UciErrorKind::StopTimeout:
        return title + " did not end its search within " + seconds(timeouts.stopMs) + " of stop";
    case UciErrorKind::StartFailed:
        return "cannot start " + title + ": " + error.text;
    case UciErrorKind::Exited:
    case UciErrorKind::SendFailed:
        return title + " ended " + doing + " (" + howItEnded(error, runner) + ")";
    case UciErrorKind::Garbage:
        if (isBinaryLine(error.text)) return title + " wrote a line that is not text";
        if (error.text.rfind("line longer than ", 0) == 0) return title + " wrote a " + error.text;
        return title + " wrote only lines that are not UCI, the last " + quoted(error.text);
    case UciErrorKind::None:
        break;
    }
    return title + " did not answer in time";
}

// Checks setting against the engine's option and puts it as the engine spells it into out.
bool matchSetting(const std::vector<UciOption>& options, const EngineSetting& setting,
                  const std::string& title, EngineSetting& out, std::string& error) {
    const UciOption* option = findUciOption(options, setting.name);
    if (!option) {
        error = title + " has no option \"" + setting.name + "\"";
        return false;
    }
    out                    = EngineSetting{option->name, setting.value};
    const std::string what = "option \"" + option->name + "\" ";
    switch (option->type) {
    case UciOptionType::Button:
        if (setting.value) {
            error = what + "is a button and takes no value";
            return false;
        }
        return true;
    case UciOptionType::Check:
        if (!setting.value ||
            (lowerCase(*setting.value) != "true" && lowerCase(*setting.value) != "false")) {
            error = what + "takes true or false";
            return false;
        }
        out.value = lowerCase(*setting.value);
        return true;
    case UciOptionType::Spin: {
        const std::string text = setting.value.value_or("");
        char*             end  = nullptr;
        errno                  = 0;
        const long long value  = std::strtoll(text.c_str(), &end, 10);
        const bool whole = !text.empty() && !std::isspace(static_cast<unsigned char>(text[0])) &&
                           *end == '\0' && errno == 0;
        if (!whole || (option->min && value < *option->min) ||
            (option->max && value > *option->max)) {
            error = what + "takes a whole number";
            if (option->min && option->max)
                error +=
                    " from " + std::to_string(*option->min) + " to " + std::to_string(*option->max);
            return false;
        }
        out.value = std::to_string(value);
        return true;
    }
    case UciOptionType::Combo:
        for (const std::string& choice : option->vars)
            if (setting.value && lowerCase(choice) == lowerCase(*setting.value)) {
                out.value = choice;
                return true;
            }
        error = what + "takes one of:";
        for (const std::string& choice : option->vars)
            error += " " + choice;
        return false;
    case UciOptionType::String:
        if (!setting.value) out.value = std::string();
        return true;
    }
    return true;
}

// Whether the option takes value as a preferred setting gives it: a check true or false, a
// spin a number within its range.
bool takesPreferred(const UciOption& option, const std::string& value) {
    if (option.type == UciOptionType::Check) return value == "true" || value == "false";
    if (option.type != UciOptionType::Spin) return false;
    char*           end    = nullptr;
    const long long number = std::strtoll(value.c_str(), &end, 10);
    return *end == '\0' && (!option.min || number >= *option.min) &&
           (!option.max || number <= *option.max);
}

// The settings sent before the first search: the user's, the preferred ones the engine takes
// and the user does not set, and the number of lines (MultiPV).
bool settingsToSend(const EngineSetup& setup, const std::vector<UciOption>& options,
                    std::vector<EngineSetting>& out, std::string& error) {
    out.clear();
    for (const EngineSetting& setting : setup.settings) {
        EngineSetting matched;
        if (!matchSetting(options, setting, setup.title, matched, error)) return false;
        out.push_back(matched);
    }
    const auto setByUser = [&](const std::string& name) {
        for (const EngineSetting& setting : setup.settings)
            if (lowerCase(setting.name) == lowerCase(name)) return true;
        return false;
    };
    for (const EngineSetting& preferred : setup.preferred) {
        const UciOption* option = findUciOption(options, preferred.name);
        if (option && preferred.value && takesPreferred(*option, *preferred.value) &&
            !setByUser(preferred.name))
            out.push_back(EngineSetting{option->name, preferred.value});
    }
    if (setup.multiPv > 0) {
        const UciOption* option = findUciOption(options, "MultiPV");
        if (!option || option->type != UciOptionType::Spin) {
            if (setup.multiPv == 1) return true;
            error = setup.title + " has no MultiPV option: it gives one line only";
            return false;
        }
        EngineSetting matched;
        if (!matchSetting(options, {"MultiPV", std::to_string(setup.multiPv)}, setup.title, matched,
                          error)) {
            error = "--multipv: " + error;
            return false;
        }
        out.push_back(matched);
    }
    return true;
}

bool handshaken(const UciClient& client) { return client.state() == UciClient::State::Idle; }
bool ready(const UciClient& client) { return !client.readyPending(); }
bool searched(const UciClient& client) { return client.bestMove().has_value(); }

int clientWaitMs(const UciTimeouts& timeouts) {
    return static_cast<int>(std::max({timeouts.handshakeMs, timeouts.readyMs, timeouts.stopMs})) +
           TimeoutSlackMs;
}

} // namespace

struct EngineSession::State {
    EngineSetup                setup;
    ProcessRunner              runner;
    UciTimeouts                timeouts;
    ProcessTransport           transport{runner};
    UciClient                  client{transport, timeouts};
    std::optional<EngineGuard> guard;
    bool                       open = false;
};

EngineSession::EngineSession() = default;

EngineSession::~EngineSession() { close(); }

bool EngineSession::isOpen() const { return m_state && m_state->open; }

void EngineSession::close() {
    if (!m_state) return;
    if (m_state->open) m_state->client.quit();
    m_state->runner.stop(m_state->open ? QuitGraceMs : 100);
    m_state->guard.reset();
    m_state.reset();
}

bool EngineSession::open(const EngineSetup& setup, std::string& error) {
    close();
    m_lastError    = UciError{};
    m_state        = std::make_unique<State>();
    m_state->setup = setup;
    State&      s  = *m_state;
    std::string reason;
    if (!s.runner.start(setup.program, setup.args, reason)) {
        error       = "cannot start " + setup.title + ": " + reason;
        m_lastError = UciError{UciErrorKind::StartFailed, reason};
        m_state.reset();
        return false;
    }
    s.guard.emplace(s.runner.pid());
    const int waitMs = clientWaitMs(s.timeouts);

    s.client.start(steadyMilliseconds());
    if (!pumpUntil(s.runner, s.client, handshaken, waitMs)) {
        error = failure("before answering uci");
        return false;
    }
    std::vector<EngineSetting> settings;
    if (!settingsToSend(setup, s.client.options(), settings, error)) {
        s.client.quit();
        s.runner.stop(QuitGraceMs);
        close();
        return false;
    }
    for (const EngineSetting& setting : settings)
        if (!s.client.setOption(setting.name, setting.value)) break;
    if (s.client.isReady(steadyMilliseconds())) pumpUntil(s.runner, s.client, ready, waitMs);
    if (s.client.state() != UciClient::State::Idle || s.client.readyPending()) {
        error = failure("while it was set up");
        return false;
    }
    s.open = true;
    return true;
}

bool EngineSession::search(const std::string& fen, const std::vector<std::string>& moves,
                           const UciGo& limits, std::int64_t waitMs, bool newGame,
                           EngineSearchResult& result, std::string& error,
                           const std::function<bool()>& cancelled) {
    result = EngineSearchResult{};
    error.clear();
    if (!isOpen()) {
        error = "the engine is not running";
        return false;
    }
    State&     s                   = *m_state;
    const int  clientWait          = clientWaitMs(s.timeouts);
    bool       cancel              = false;
    const auto searchedOrCancelled = [&](const UciClient& client) {
        if (searched(client)) return true;
        cancel = cancelled && cancelled();
        return cancel;
    };
    if ((newGame && !s.client.newGame()) || !s.client.go(fen, moves, limits) ||
        !pumpUntil(s.runner, s.client, searchedOrCancelled, static_cast<int>(waitMs))) {
        if (s.client.state() != UciClient::State::Searching) {
            error = failure("during the search");
            return false;
        }
        // The search outran its wait: it is asked to end, and its lines so far are the answer.
        result.stoppedEarly = true;
        if (!s.client.stop(steadyMilliseconds()) ||
            !pumpUntil(s.runner, s.client, searched, clientWait)) {
            error = failure("while its search was stopped");
            return false;
        }
    }
    if (cancel) {
        if (s.client.state() == UciClient::State::Searching) s.client.stop(steadyMilliseconds());
        close();
        return false;
    }
    result.lines    = s.client.lines();
    result.bestMove = *s.client.bestMove();
    return true;
}

std::string EngineSession::failure(const std::string& doing) {
    State& s = *m_state;
    if (s.client.error().kind == UciErrorKind::SendFailed) {
        // A command that could not be written: the engine has most likely ended.
        s.runner.stop(100);
        s.client.engineExited(describeExit(s.runner.exit(), true));
    }
    const std::string error = describeFailure(s.setup.title, doing, s.client, s.timeouts, s.runner);
    m_lastError             = s.client.error();
    s.open                  = false;
    s.client.quit();
    close();
    return error;
}

std::string findEngineProgram(const std::string& name) {
    if (name.empty()) return "";
    if (name.find('/') != std::string::npos) return name;
    std::vector<std::string> folders;
    if (const char* path = std::getenv("PATH")) {
        const std::string list(path);
        for (std::size_t start = 0;;) {
            const std::size_t colon = list.find(':', start);
            const std::string folder =
                list.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
            // An empty entry is the current folder, as the shell reads PATH.
            folders.push_back(folder.empty() ? "." : folder);
            if (colon == std::string::npos) break;
            start = colon + 1;
        }
    }
    folders.push_back("/usr/games");
    for (const std::string& folder : folders) {
        const std::string candidate = folder + "/" + name;
        if (isExecutableFile(candidate)) return candidate;
    }
    return "";
}

std::string ownProgramPath() {
    char          path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}
