#include "cli/analyseengine.h"

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

// The engine's process group while it runs, for the signal handler: a Ctrl-C or a kill that
// ends this program ends the engine with it (the engine has a group of its own, so the
// terminal's signals do not reach it). 0 when no engine runs.
std::atomic<pid_t> runningEngine{0};

extern "C" void endWithEngine(int signalNumber) {
    const pid_t pid = runningEngine.load();
    if (pid > 0) {
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
        runningEngine.store(pid);
        struct sigaction action {};
        action.sa_handler = endWithEngine;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(Signals); ++i)
            ::sigaction(Signals[i], &action, &m_saved[i]);
    }
    ~EngineGuard() {
        for (std::size_t i = 0; i < std::size(Signals); ++i)
            ::sigaction(Signals[i], &m_saved[i], nullptr);
        runningEngine.store(0);
    }
    EngineGuard(const EngineGuard&)            = delete;
    EngineGuard& operator=(const EngineGuard&) = delete;

private:
    static constexpr int Signals[3] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction     m_saved[3]{};
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

// The engine's option called name (UCI names ignore case), or null.
const UciOption* findOption(const std::vector<UciOption>& options, const std::string& name) {
    for (const UciOption& option : options)
        if (lowerCase(option.name) == lowerCase(name)) return &option;
    return nullptr;
}

// Checks setting against the engine's option and puts it as the engine spells it into out.
bool matchSetting(const std::vector<UciOption>& options, const EngineSetting& setting,
                  const std::string& title, EngineSetting& out, std::string& error) {
    const UciOption* option = findOption(options, setting.name);
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

// The settings sent before the search: the user's, and what an analysis wants of the engine
// unless the user says otherwise: a search rather than a book move (OwnBook false), the
// engine's analysis manner (UCI_AnalyseMode true), and the number of lines (MultiPV).
bool settingsToSend(const AnalyseRequest& request, const std::vector<UciOption>& options,
                    std::vector<EngineSetting>& out, std::string& error) {
    out.clear();
    for (const EngineSetting& setting : request.settings) {
        EngineSetting matched;
        if (!matchSetting(options, setting, request.title, matched, error)) return false;
        out.push_back(matched);
    }
    const auto setByUser = [&](const char* name) {
        for (const EngineSetting& setting : request.settings)
            if (lowerCase(setting.name) == lowerCase(name)) return true;
        return false;
    };
    for (const auto& [name, value] : {std::pair{"OwnBook", "false"}, {"UCI_AnalyseMode", "true"}}) {
        const UciOption* option = findOption(options, name);
        if (option && option->type == UciOptionType::Check && !setByUser(name))
            out.push_back(EngineSetting{option->name, std::string(value)});
    }
    if (request.multiPv > 0) {
        const UciOption* option = findOption(options, "MultiPV");
        if (!option || option->type != UciOptionType::Spin) {
            if (request.multiPv == 1) return true;
            error = request.title + " has no MultiPV option: it gives one line only";
            return false;
        }
        EngineSetting matched;
        if (!matchSetting(options, {"MultiPV", std::to_string(request.multiPv)}, request.title,
                          matched, error)) {
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

bool runAnalysis(const AnalyseRequest& request, AnalyseResult& result, std::string& error) {
    result = AnalyseResult{};
    ProcessRunner runner;
    std::string   reason;
    if (!runner.start(request.program, request.args, reason)) {
        error = "cannot start " + request.title + ": " + reason;
        return false;
    }
    const EngineGuard guard(runner.pid());
    const UciTimeouts timeouts;
    ProcessTransport  transport(runner);
    UciClient         client(transport, timeouts);
    const int         waitMs = clientWaitMs(timeouts);

    // Ends the session on a failure: the engine is told to quit when it still can be, then
    // stopped and reaped either way.
    const auto failed = [&](const std::string& doing) {
        if (client.error().kind == UciErrorKind::SendFailed) {
            // A command that could not be written: the engine has most likely ended.
            runner.stop(100);
            client.engineExited(describeExit(runner.exit(), true));
        }
        error = describeFailure(request.title, doing, client, timeouts, runner);
        client.quit();
        runner.stop(100);
        return false;
    };

    client.start(steadyMilliseconds());
    if (!pumpUntil(runner, client, handshaken, waitMs)) return failed("before answering uci");

    std::vector<EngineSetting> settings;
    if (!settingsToSend(request, client.options(), settings, error)) {
        client.quit();
        runner.stop(QuitGraceMs);
        return false;
    }
    for (const EngineSetting& setting : settings)
        if (!client.setOption(setting.name, setting.value)) break;
    if (client.isReady(steadyMilliseconds())) pumpUntil(runner, client, ready, waitMs);
    if (client.state() != UciClient::State::Idle || client.readyPending())
        return failed("while it was set up");

    if (!client.newGame() || !client.go(request.fen, request.moves, request.limits) ||
        !pumpUntil(runner, client, searched, static_cast<int>(request.searchWaitMs))) {
        if (client.state() != UciClient::State::Searching) return failed("during the search");
        // The search outran its wait: it is asked to end, and its lines so far are the answer.
        result.stoppedEarly = true;
        if (!client.stop(steadyMilliseconds()) || !pumpUntil(runner, client, searched, waitMs))
            return failed("while its search was stopped");
    }
    result.lines    = client.lines();
    result.bestMove = *client.bestMove();
    client.quit();
    runner.stop(QuitGraceMs);
    return true;
}
