// Comments, glyphs and side lines read with a game: kept in file order beside the main line,
// side lines replayed from the position before the move they replace.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "records/annotations.h"
#include "records/pgnread.h"
#include "records/pgnwrite.h"
#include "records_fixture.h"

namespace {

// The notes as one line of text: comments in braces, glyphs as $n, side lines in
// parentheses with their moves' SAN, main-line positions as "|ply" where they change.
std::string notesText() {
    std::string out;
    int         ply = -1;
    for (const GameNote& note : gameAnnotations.notes) {
        const bool onMainLine = note.kind == NoteKind::LineBegins ? note.depth == 1
                                : note.kind == NoteKind::LineEnds ? false
                                                                  : note.depth == 0;
        if (onMainLine && note.ply != ply) {
            ply = note.ply;
            out += '|';
            out += std::to_string(ply);
            out += ' ';
        }
        switch (note.kind) {
        case NoteKind::Comment:
            out += '{';
            out += gameAnnotations.commentOf(note);
            out += "} ";
            break;
        case NoteKind::Glyph:
            out += '$';
            out += std::to_string(note.value);
            out += ' ';
            break;
        case NoteKind::LineBegins: out += "( "; break;
        case NoteKind::LineEnds: out += ") "; break;
        case NoteKind::Move:
            out += note.san;
            out += ' ';
            break;
        }
    }
    return out;
}

std::string fileText(const char* name) {
    std::ifstream     in(testData(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The text of the index-th game of a file (games split at "[Event ").
std::string gameOf(const std::string& file, int index) {
    std::size_t at = 0;
    for (int i = 0; i <= index; ++i) at = file.find("[Event ", i == 0 ? 0 : at + 1);
    const std::size_t next = file.find("[Event ", at + 1);
    return file.substr(at, next == std::string::npos ? std::string::npos : next - at);
}

bool parse(const std::string& text) { return parseGameText(text.c_str(), text.size()); }

} // namespace

TEST(Annotations, NotesInFileOrder) {
    struct Case { const char* what; const char* movetext; const char* notes; };
    const Case cases[] = {
        {"comments before and after moves, glyphs and suffixes",
         "{start} 1. e4 $1 {good} e5?! 2. Nf3!! $146 *", "|0 {start} |1 $1 {good} |2 $6 |3 $3 $146 "},
        {"a side line replaces the move before it, a nested one the move before that",
         "1. e4 e5 (1... c5 2. Nf3 (2. c3 {Alapin}) d6) 2. Nf3 *",
         "|2 ( c5 Nf3 ( c3 {Alapin} ) d6 ) "},
        {"two side lines for one move", "1. e4 e5 2. Nf3 (2. Nc3) (2. f4 exf4) *",
         "|3 ( Nc3 ) ( f4 exf4 ) "},
        {"an illegal move ends its side line; the main line goes on",
         "1. d4 (1. e4 e5 2. Ke3 Nc6 {dropped}) d5 *", "|1 ( e4 e5 ) "},
        {"a damaged side line keeps what came before the damage",
         "1. d4 (1. c4 -- e5 (1... c5)) d5 *", "|1 ( c4 ) "},
        {"a side line with nothing to replace is dropped", "(1. d4 {x}) 1. e4 *", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(parse(std::string("[Event \"E\"]\n\n") + c.movetext + "\n"));
        EXPECT_EQ(notesText(), c.notes);
    }
}

TEST(Annotations, AnnotatedFilesAndTheWrittenGame) {
    const std::string lichess = fileText("lichess-annotated.pgn");
    ASSERT_TRUE(parse(lichess));
    const std::string notes = notesText();
    // The first comment, the first side line with its glyph and comments around it, the last.
    EXPECT_EQ(notes.substr(0, 33), "|1 { [%eval 0.24] [%clk 0:05:00] ");
    EXPECT_NE(notes.find("|8 $6 { (-0.25 → 0.39) Inaccuracy. cxd4 was best. } "
                         "{ [%eval 0.39] [%clk 0:05:05] } "
                         "( cxd4 Nxd4 Bg7 Be3 Nf6 Nc3 a6 Be2 d5 exd5 ) "
                         "|9 $4 "),
              std::string::npos);
    EXPECT_NE(notes.find("( Rb4 Ra7 Ne7 b3 h6 Bd2 Re4 h3 g5 a4 Kg6 Re1 Rxe1+ Bxe1 ) "
                         "|41 { [%clk 0:00:46] } { White wins by checkmate. } "),
              std::string::npos);
    EXPECT_EQ(notes.size(), notes.rfind("checkmate. } ") + 13);

    const std::string nested = fileText("nested-variations.pgn");
    ASSERT_TRUE(parse(gameOf(nested, 1)));
    EXPECT_EQ(notesText(), "|12 { chapter 2 main line move comment with parens ( test ) } "
                           "|14 ( dxe5 { chapter 2 variation move comment with unmatched paren ( } "
                           "dxe5 ) ");
    ASSERT_TRUE(parse(gameOf(nested, 2)));
    EXPECT_EQ(notesText(),
              "|8 { chapter 3 main line move comment } "
              "|11 ( c4 Bg7 { chapter 3 variation 1 comment } O-O ) "
              "|14 ( Nf6 Rd1 { chapter 3 variation 2 comment } O-O "
              "( d6 e5 dxe5 { chapter 3 nested variation comment } Bxg6 Qc7 "
              "{ chapter 3 double nested variation comment with parens and moves ( 1. e4 e5 2. "
              "Nf3 ) } ( Qxd1+ Qxd1 ) Bc2 ) e5 ) "
              "|22 ( Nh5 exd6 ) ( Nd5 exd6 ) ");

    // A nested move's line from the main line: 7...Nf6 8.Rd1 d6 9.e5 dxe5 10.Bxg6 Qxd1+.
    std::size_t at = 0;
    while (!(gameAnnotations.notes[at].kind == NoteKind::Move &&
             std::string(gameAnnotations.notes[at].san) == "Qxd1+"))
        ++at;
    Move line[16];
    const int n = gameAnnotations.lineTo(at, line, 16);
    ASSERT_EQ(n, 7);
    EXPECT_EQ(gameAnnotations.notes[at].root, 13);
    setupStartPosition();
    for (int i = 0; i < 13; ++i) makeMove(gameMoves[i]);
    char san[8];
    std::string sans;
    for (int i = 0; i < n; ++i) {
        moveToSan(line[i], san);
        sans += san;
        sans += ' ';
        makeMove(line[i]);
    }
    EXPECT_EQ(sans, "Nf6 Rd1 d6 e5 dxe5 Bxg6 Qxd1+ ");

    // The written game is the main line alone, as before.
    ASSERT_TRUE(parse(gameOf(nested, 2)));
    std::string written(GameRecordSize, '\0');
    writeGameRecord(written.data(), written.size());
    written.resize(written.find('\0'));
    EXPECT_NE(written.find("11.e5 dxe5 *"), std::string::npos);
    EXPECT_EQ(written.find('('), std::string::npos);
    EXPECT_EQ(written.find('{'), std::string::npos);
}
