#include "view/playerrecordview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/norvanedoc.h"
#include "records/gamefilter.h"
#include "view/playerrecordcharts.h"
#include "view/recordtext.h"

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

QString points(int halfPoints) {
    return QString::number(halfPoints / 2) + (halfPoints % 2 ? QStringLiteral(".5") : QString());
}

QString percent(const ScoreLine& s) {
    const int finished = s.wins + s.draws + s.losses;
    return finished ? QString::number((s.halfPoints() * 50 + finished / 2) / finished) + "%"
                    : QString();
}

QTableWidget* table(QWidget* parent, const QStringList& headers) {
    auto* t = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setShowGrid(false);
    t->setWordWrap(false);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 4);
    t->horizontalHeader()->setHighlightSections(false);
    t->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return t;
}

void setCell(QTableWidget* t, int row, int column, const QString& value, bool number = false) {
    auto* item = new QTableWidgetItem(value);
    item->setToolTip(value);
    if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    t->setItem(row, column, item);
}

// games, wins, draws, losses, score, % from column first on.
void setScoreCells(QTableWidget* t, int row, int first, const ScoreLine& s) {
    setCell(t, row, first, QString::number(s.games), true);
    setCell(t, row, first + 1, QString::number(s.wins), true);
    setCell(t, row, first + 2, QString::number(s.draws), true);
    setCell(t, row, first + 3, QString::number(s.losses), true);
    setCell(t, row, first + 4, points(s.halfPoints()), true);
    setCell(t, row, first + 5, percent(s), true);
}

const QStringList scoreHeaders = {QString::fromUtf8("局数"), QString::fromUtf8("勝"),
                                  QString::fromUtf8("分"),   QString::fromUtf8("負"),
                                  QString::fromUtf8("得点"), QStringLiteral("%")};

} // namespace

CPlayerRecordWindow::CPlayerRecordWindow(CNorvaneDoc* doc, QWidget* parent)
    : QDialog(parent), m_pDoc(doc) {
    setWindowTitle(text("選手情報"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);

    auto* top  = new QHBoxLayout;
    m_pPlayers = new QComboBox(this);
    m_pPlayers->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_pPlayers->setMinimumContentsLength(20);
    m_pMatchedOnly = new QCheckBox(text("一覧の棋譜のみ"), this);
    top->addWidget(new QLabel(text("選手"), this));
    top->addWidget(m_pPlayers, 1);
    top->addWidget(m_pMatchedOnly);
    layout->addLayout(top);

    m_pTotals = table(this, QStringList{QString()} + scoreHeaders);
    m_pTotals->setRowCount(3);
    const char* const sides[3] = {"白番", "黒番", "合計"};
    for (int row = 0; row < 3; ++row)
        setCell(m_pTotals, row, 0, text(sides[row]));
    m_pTotals->setSelectionMode(QAbstractItemView::NoSelection);
    m_pTotals->setFixedHeight(m_pTotals->horizontalHeader()->sizeHint().height() +
                              3 * m_pTotals->verticalHeader()->defaultSectionSize() + 4);
    layout->addWidget(m_pTotals);

    auto* openings = new QHBoxLayout;
    for (int side = 0; side < 2; ++side) {
        auto* box =
            new QGroupBox(text(side == 0 ? "白番のオープニング" : "黒番のオープニング"), this);
        auto* inside = new QVBoxLayout(box);
        inside->setContentsMargins(4, 4, 4, 4);
        m_pOpenings[side] =
            table(box, QStringList{QStringLiteral("ECO"), text("オープニング")} + scoreHeaders);
        m_pOpenings[side]->setToolTip(text("クリックするとその棋譜を一覧に表示します"));
        inside->addWidget(m_pOpenings[side]);
        openings->addWidget(box);
        connect(m_pOpenings[side], &QTableWidget::cellClicked, this, [this, side](int row, int) {
            const auto& lines = side == 0 ? m_record.whiteOpenings : m_record.blackOpenings;
            if (row >= 0 && row < static_cast<int>(lines.size()))
                ListGames(side == 0 ? WhiteSide : BlackSide,
                          lines[static_cast<std::size_t>(row)].eco, 0);
        });
    }
    layout->addLayout(openings, 3);

    auto* charts = new QHBoxLayout;
    auto* yearBox =
        new QGroupBox(text("年ごとの成績（緑 勝ち、灰 引き分け、赤 負け、黄 未了）"), this);
    auto* yearPart = new QVBoxLayout(yearBox);
    yearPart->setContentsMargins(4, 4, 4, 4);
    m_pYears = new CYearResultsChart(yearBox);
    m_pYears->setToolTip(text("クリックするとその年の棋譜を一覧に表示します"));
    yearPart->addWidget(m_pYears);
    auto* ratingBox  = new QGroupBox(text("レートの推移"), this);
    auto* ratingPart = new QVBoxLayout(ratingBox);
    ratingPart->setContentsMargins(4, 4, 4, 4);
    m_pRatings = new CRatingChart(ratingBox);
    ratingPart->addWidget(m_pRatings);
    charts->addWidget(yearBox);
    charts->addWidget(ratingBox);
    layout->addLayout(charts, 2);
    connect(m_pYears, &CYearResultsChart::yearClicked, this,
            [this](int year) { ListGames(EitherSide, -1, year); });

    auto* beatenBox  = new QGroupBox(text("勝った最強の相手"), this);
    auto* beatenPart = new QVBoxLayout(beatenBox);
    beatenPart->setContentsMargins(4, 4, 4, 4);
    m_pBeaten = table(beatenBox, {text("相手"), text("レート"), text("日付"), text("手番")});
    m_pBeaten->horizontalHeader()->setStretchLastSection(true);
    beatenPart->addWidget(m_pBeaten);
    layout->addWidget(beatenBox, 2);

    connect(m_pPlayers, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0) return;
        m_player = m_pPlayers->itemData(index).toUInt();
        Refresh();
    });
    connect(m_pMatchedOnly, &QCheckBox::toggled, this, [this] { Refresh(); });
    resize(780, 620);
}

void CPlayerRecordWindow::OfferPlayers(const std::vector<PlayerCount>& players,
                                       std::uint32_t                   chosen) {
    const QSignalBlocker block(m_pPlayers);
    m_pPlayers->clear();
    for (const PlayerCount& p : players) {
        const std::string_view name = m_pDoc->m_names.name(p.name);
        m_pPlayers->addItem(recordText(name.data(), static_cast<qsizetype>(name.size())) +
                                QString::fromUtf8("（%1局）").arg(p.games),
                            QVariant::fromValue(p.name));
    }
    const int index = m_pPlayers->findData(QVariant::fromValue(chosen));
    m_pPlayers->setCurrentIndex(index < 0 ? 0 : index);
    m_player = chosen;
    Refresh();
}

void CPlayerRecordWindow::ShowPlayer(std::uint32_t name) {
    if (!m_pDoc || name == 0 || name >= m_pDoc->m_names.size()) return;
    std::vector<PlayerCount> players =
        playersMatching(m_pDoc->m_games, m_pDoc->m_names, m_pDoc->m_names.name(name));
    bool listed = false;
    for (const PlayerCount& p : players)
        listed |= p.name == name;
    if (!listed) players.insert(players.begin(), {name, 0});
    OfferPlayers(players, name);
}

bool CPlayerRecordWindow::ShowPlayerText(const QString& name) {
    if (!m_pDoc) return false;
    const QByteArray               bytes   = name.trimmed().toUtf8();
    const std::vector<PlayerCount> players = playersMatching(
        m_pDoc->m_games, m_pDoc->m_names,
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (players.empty()) return false;
    // A name typed whole is that player, even when another holding it has more games.
    std::uint32_t chosen = players.front().name;
    for (const PlayerCount& p : players)
        if (m_pDoc->m_names.name(p.name) ==
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
            chosen = p.name;
    OfferPlayers(players, chosen);
    return true;
}

void CPlayerRecordWindow::Refresh() {
    m_record = {};
    if (m_pDoc && m_player && m_player < m_pDoc->m_names.size())
        m_record = playerRecord(m_pDoc->m_games, m_pDoc->m_names, m_pDoc->m_names.name(m_player),
                                m_pMatchedOnly->isChecked());
    const std::string_view player =
        m_player && m_pDoc ? m_pDoc->m_names.name(m_player) : std::string_view();
    setWindowTitle(text("選手情報") +
                   (player.empty()
                        ? QString()
                        : QStringLiteral(" - ") +
                              recordText(player.data(), static_cast<qsizetype>(player.size()))));

    setScoreCells(m_pTotals, 0, 1, m_record.asWhite);
    setScoreCells(m_pTotals, 1, 1, m_record.asBlack);
    setScoreCells(m_pTotals, 2, 1, m_record.all);
    m_pTotals->resizeColumnsToContents();

    const OpeningNameSettings names = m_pDoc ? m_pDoc->m_openingNames : OpeningNameSettings{};
    for (int side = 0; side < 2; ++side) {
        const auto&   lines = side == 0 ? m_record.whiteOpenings : m_record.blackOpenings;
        QTableWidget* t     = m_pOpenings[side];
        t->setRowCount(static_cast<int>(lines.size()));
        for (int row = 0; row < static_cast<int>(lines.size()); ++row) {
            const OpeningLine& line    = lines[static_cast<std::size_t>(row)];
            char               code[4] = "-";
            if (line.eco < NoEco) ecoCodeText(line.eco, code);
            setCell(t, row, 0, QString::fromLatin1(code));
            setCell(t, row, 1,
                    line.eco < NoEco ? text(openingDisplayName(line.eco, names)) : QString());
            setScoreCells(t, row, 2, line.score);
        }
        t->resizeColumnsToContents();
        t->setColumnWidth(1, std::min(t->columnWidth(1), 130));
    }

    m_pYears->SetYears(m_record.years);
    m_pRatings->SetRatings(m_record.ratings);

    m_pBeaten->setRowCount(static_cast<int>(m_record.beaten.size()));
    for (int row = 0; row < static_cast<int>(m_record.beaten.size()); ++row) {
        const BeatenOpponent&  b    = m_record.beaten[static_cast<std::size_t>(row)];
        const std::string_view name = m_pDoc->m_names.name(b.name);
        setCell(m_pBeaten, row, 0, recordText(name.data(), static_cast<qsizetype>(name.size())));
        setCell(m_pBeaten, row, 1, b.rating ? QString::number(b.rating) : QString(), true);
        setCell(m_pBeaten, row, 2,
                b.date
                    ? QStringLiteral("%1.%2.%3")
                          .arg(b.date / 10000, 4, 10, QLatin1Char('0'))
                          .arg(b.date / 100 % 100 ? QStringLiteral("%1").arg(b.date / 100 % 100, 2,
                                                                             10, QLatin1Char('0'))
                                                  : QStringLiteral("??"))
                          .arg(b.date % 100
                                   ? QStringLiteral("%1").arg(b.date % 100, 2, 10, QLatin1Char('0'))
                                   : QStringLiteral("??"))
                    : QString());
        setCell(m_pBeaten, row, 3, text(b.playerWhite ? "白" : "黒"));
    }
    m_pBeaten->resizeColumnsToContents();
}

void CPlayerRecordWindow::ListGames(int side, int eco, int year) {
    if (!m_pDoc || !m_player || m_pDoc->IsPassRunning()) return;
    std::vector<GameEntry> marked = m_pDoc->m_games;
    PlayerGames            selection{m_player, static_cast<NameSide>(side), eco, year};
    markPlayerGames(marked, selection);
    // Within the list shown, when the record is of those games.
    if (m_pMatchedOnly->isChecked())
        for (std::size_t i = 0; i < marked.size(); ++i)
            if (!(m_pDoc->m_games[i].info & Matched))
                marked[i].info &= static_cast<std::uint16_t>(~Matched);
    // The list's criteria, as far as a search can say them: the name, its side, the code or
    // the year.
    SearchFilter           criteria = emptyFilter();
    const std::string_view name     = m_pDoc->m_names.name(m_player);
    copyFilterName(criteria.name, name.data(), name.size());
    criteria.side = static_cast<NameSide>(side);
    if (eco >= 0 && eco < NoEco) criteria.ecoFrom = criteria.ecoTo = eco;
    if (year) criteria.yearFrom = criteria.yearTo = year;
    m_pDoc->ShowGameSelection(marked, criteria);
}
