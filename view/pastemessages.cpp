#include "view/pastemessages.h"

#include <cstring>

#include "resources/viewtexts.h"

namespace {

// The FEN reader's reasons by their beginning, and what the user is told.
struct ReasonText {
    const char* start;
    const char* text;
};
// clang-format off
constexpr ReasonText reasonTexts[] = {
    {"the side not to move is in check", "手番でない側のキングがチェックされています。"},
    {"a pawn stands on the first or last rank", "ポーンが1段目か8段目にあります。"},
    {"each side needs exactly one king", "キングがないか、多すぎます。白と黒にキングが1つずつ必要です。"},
    {"unexpected character in the placement", "駒の配置に読めない文字があります。"},
    {"a rank of the placement", "駒の配置の段が8マスになっていません。"},
    {"the placement", "駒の配置が8段8列になっていません。"},
    {"the FEN has no valid placement field", "駒の配置がありません。"},
    {"the side to move must be", "手番は w か b で書きます。"},
    {"the FEN has no side to move", "手番がありません。"},
    {"unknown castling letter", "キャスリングの欄に読めない文字があります。"},
    {"castling letter repeated", "キャスリングの欄に同じ文字が2つあります。"},
    {"castling right without its king at home", "キャスリングできるはずのキングかルークが元の位置にありません。"},
    {"the FEN has no valid castling field", "キャスリングの欄がありません。"},
    {"bad en-passant square", "アンパッサンのマスが正しくありません。"},
    {"no pawn can just have passed", "アンパッサンのマスを通ったばかりのポーンがありません。"},
    {"the FEN has no valid en-passant field", "アンパッサンの欄がありません。"},
    {"the FEN's move counters", "手数の欄が数字になっていません。"},
    {"unexpected text after the FEN", "FEN の後に余分な文字があります。"},
};
// clang-format on

} // namespace

bool looksLikeFen(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    const qsizetype  space   = trimmed.indexOf(' ');
    if (space <= 0 || trimmed.contains('\n')) return false;
    const QByteArray placement = trimmed.left(space);
    if (placement.count('/') != 7) return false;
    for (const char c : placement)
        if (!std::strchr("pnbrqkPNBRQK12345678/", c)) return false;
    return true;
}

QString fenProblemReason(const char* reason) {
    for (const ReasonText& known : reasonTexts)
        if (std::strncmp(reason, known.start, std::strlen(known.start)) == 0)
            return QString::fromUtf8(known.text);
    return QString::fromUtf8("FEN を読み込めません (%1)。").arg(QString::fromUtf8(reason));
}

QString pastedFenMessage(const char* reason) {
    return QString::fromUtf8(ViewText::PasteBadFen).arg(fenProblemReason(reason));
}
