// The table of subcommands, and the usage text a wrong call prints.
#include <iostream>

#include "cli/commands.h"

namespace {

constexpr Subcommand subcommands[] = {
    {"perft", runPerft, "DEPTH [--fen FEN] [--divide]",
     "counts the leaves of the legal-move tree; last line \"nodes N\""},
    {"position", runPosition, "[--fen FEN] [--names en|ja] [--last-named] [MOVE ...]",
     "the FEN, hash key and opening after the moves, how the game stands; last line \"key 0x...\"",
     "Before the last line: \"outcome none|checkmate|stalemate|insufficient|fivefold|\n"
     "seventyfive\", what ends the game at once (a mate or stalemate first, then a dead\n"
     "position by material, then the fifth standing of the position, then 150 half-moves\n"
     "without a capture or pawn move), and \"claimable none|threefold|fifty|both\", the draws\n"
     "the player to move may claim (the third standing of the position; 100 half-moves without\n"
     "a capture or pawn move). Both count over the moves given, from the FEN's half-move clock\n"
     "where --fen gives one. A position stands again with the same placement, side to move,\n"
     "castling rights and legal en-passant captures.\n"},
    {"think", runThink, "[--fen FEN] [MOVE ...] [--time-ms N] [--book FILE]",
     "the engine's move: score, depth, nodes, book, san; last line \"bestmove e2e4\""},
    {"bench", runBench, "", "a fixed-depth search signature; last line \"nodes N nps M\""},
    {"uci", runUci, "", "the UCI engine protocol on standard input and output"},
    {"analyse", runAnalyse,
     "[--engine PROGRAM] [--fen FEN] [MOVE ...] [--multipv N] [--depth D | --nodes N | "
     "--movetime MS] [--option NAME=VALUE ...]",
     "a UCI engine's lines in SAN, best first, then its move; last line \"bestmove e2e4\"",
     "The engine is the built-in one (norvane-cli uci) unless --engine names a program: a path,\n"
     "or a name looked up in PATH and then /usr/games. Without a limit the search takes 3000 ms\n"
     "(--movetime 3000). One line per PV, best first, the score from the side to move as the\n"
     "engine gives it, with its bound when it gives one:\n"
     "  multipv 1 score cp 31 depth 18 pv Nf3 Nc6 d4\n"
     "then \"bestmove e2e4\", or \"bestmove (none)\" when the position has no move. --option\n"
     "sets an engine option by its name (a bare NAME presses a button); --multipv N sets its\n"
     "MultiPV. The engine is asked for a search, not a book move (OwnBook false when it has\n"
     "the option), in its analysis manner (UCI_AnalyseMode true), unless --option says else.\n"},
    {"annotate", runAnnotate,
     "FILE [--games A-B] [--engine PROGRAM] [--nodes N | --depth D | --movetime MS] "
     "[--threads N] -o OUT.pgn",
     "each game reviewed by an engine and written annotated; last line \"games N\"",
     "Every position of each game's main line is searched with two lines (MultiPV 2), by the\n"
     "built-in engine unless --engine names a program, with --nodes 1000000 per position unless\n"
     "another budget is given. Each move gets its mark as a NAG ($1 !, $6 ?!, $2 ?, $4 ?\?), its\n"
     "evaluation as [%eval 0.31] (pawns from White's side, #N for a mate), and for ? and ?? an\n"
     "explanation and the better line as a side line. One line per game:\n"
     "  game N white ?! ? ?? acpl black ?! ? ?? acpl\n"
     "the counts of each mark and the average centipawn loss. --games A-B (or N) chooses games,\n"
     "counting from 0. OUT is written whole under a fresh name beside it, then renamed.\n"},
    {"index", runIndex, "FILE [--threads N]", "one tab-separated row per game; last line \"games N\"",
     "Columns: number, white, black, result, moves, year, eco, start and end offsets, then\n"
     "White's rating, Black's rating (empty when none), the date (YYYY.MM.DD, unknown parts\n"
     "as \"??\"), event, site and round.\n"},
    {"search", runSearch,
     "FILE [--name S] [--side white|black] [--eco CODE] [--eco-range A-B] [--from Y] [--to Y] "
     "[--date-from YYYY.MM.DD] [--date-to YYYY.MM.DD] [--result R,...] [--elo-min N] "
     "[--elo-max N] [--elo-of either|both|player] [--event S] [--site S] [--moves-min N] "
     "[--moves-max N] [--position \"MOVE ...\"] [--fen FEN] [--threads N]",
     "the numbers of the matching games; last line \"matched N\"",
     "Every criterion given must hold. --name finds a text within White or Black (ASCII letters\n"
     "in either case), --side white or black only on that side (either: the default).\n"
     "--eco-range B90-B99 takes the codes from the first to the last. --from and --to bound\n"
     "the year (a game without one meets --to alone); --date-from and --date-to bound the\n"
     "date, given as YYYY.MM.DD, YYYY.MM or YYYY (a year from its first day to its last): a\n"
     "game whose date has unknown parts, 2012.\?\?.\?\?, meets a bound only when every day it\n"
     "may be does, and a game without a year meets none. --elo-min and --elo-max bound the\n"
     "ratings (WhiteElo, BlackElo), a game without a rating meeting none; --elo-of says\n"
     "whose: either player's (the default), both players', or the named player's. --event\n"
     "and --site find a text within the Event or Site value, as --name does. --moves-min and\n"
     "--moves-max bound the full moves.\n"
     "--position names a position by its moves from the start; an empty line (--position \"\")\n"
     "or startpos is the start position itself. --fen FEN names it as FEN, with or without the\n"
     "move counters; then --position's moves are played from it. A game matches when it passes\n"
     "through the position: the same placement, side to move and castling rights, and the same\n"
     "en-passant square where a pawn can take on it (one that no pawn can take counts as none).\n"},
    {"info", runInfo, "FILE [--threads N]", "the file-information summary"},
    {"player", runPlayer, "FILE NAME [--threads N]",
     "a player's record by opening, side and year; last line \"games N\"",
     "NAME is the player's name exactly as the file writes it (case and all). One\n"
     "tab-separated row per opening and side, the most played first:\n"
     "  white  B90  games  wins  draws  losses  score\n"
     "(score in points, \"-\" for games without an ECO code), then one row per year\n"
     "(year 2012 ...), the totals (total white, total black, total all ...), the strongest\n"
     "opponents beaten (beaten NAME RATING GAME), and \"games N\". A name not found is an\n"
     "error that lists the names holding the text.\n"},
    {"game", runGame, "FILE N [--annotated]", "game N (counting from 0) parsed and written again as PGN",
     "Without --annotated the main line alone is written, as the desktop's copy writes it.\n"
     "--annotated writes the whole game: every tag, comment (byte for byte), glyph (as $n) and\n"
     "side line, in lines of at most 80 columns; reading it again gives the same game.\n"},
    {"tree", runTree, "FILE [--position \"MOVE ...\"] [--names en|ja] [--last-named] [--threads N]",
     "the opening explorer: the moves played from the position; last line \"positions N\"",
     "--position names the position by its moves from the start; an empty line or startpos is\n"
     "the start position, as without the option.\n"},
    {"book", runBook, "build OUT PGN... [--plies N] [--threads N]",
     "compiles a book.dat from the games' first plies; last line \"positions N\""},
};

}  // namespace

std::span<const Subcommand> allSubcommands() { return subcommands; }

const Subcommand* findSubcommand(const std::string& name) {
    for (const Subcommand& s : subcommands)
        if (name == s.name) return &s;
    return nullptr;
}

int usageError(const std::string& name, const std::string& message) {
    fail(name + ": " + message);
    if (const Subcommand* s = findSubcommand(name))
        std::cerr << "usage: norvane-cli " << s->name << (*s->usage ? " " : "") << s->usage << '\n';
    return 2;
}
