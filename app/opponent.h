// The opponent of a game against the engine: the built-in engine (its level is the strength
// dialog's) or one of the engines of the engines dialog run as a UCI process, at the strength
// it offers: a rating (UCI_LimitStrength with UCI_Elo) or a Skill Level. The choice is kept in
// the settings; nothing chosen is the built-in engine.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <optional>
#include <vector>

#include "app/enginelist.h"
#include "uci/ucimessages.h"

struct OpponentChoice {
    enum Strength { Full, Elo, Skill };

    QString  engine;          // the engine's name in the engines dialog; empty: the built-in one
    Strength strength = Full; // how a UCI engine is held back
    int      elo      = 1500; // the rating asked for under Elo
    int      skill    = 10;   // the level asked for under Skill

    bool isBuiltIn() const { return engine.isEmpty(); }
    bool operator==(const OpponentChoice&) const = default;
};

// What an engine offers to play weaker, read from the options it listed at its handshake.
struct StrengthOffer {
    bool      elo    = false; // UCI_LimitStrength (a check) with UCI_Elo (a spin)
    long long eloMin = 0, eloMax = 0, eloDefault = 0;
    bool      skill    = false; // a "Skill Level" spin
    long long skillMin = 0, skillMax = 0, skillDefault = 0;

    bool any() const { return elo || skill; }
};
StrengthOffer strengthOffer(const std::vector<UciOption>& options);

// The setoption pairs that put an engine with offer at choice's strength, its option names as
// the engine wrote them and the values held inside its ranges. Full strength turns a limit the
// engine offers off; what it does not offer is not sent.
QList<QPair<QString, QString>> strengthOptions(const OpponentChoice&         choice,
                                               const std::vector<UciOption>& options);

// The engine's player name in the game: "Stockfish (Elo 1500)", "Stockfish (Skill Level 5)",
// or the name alone at full strength.
QString opponentPlayerName(const OpponentChoice& choice);

// The engine of the engines dialog that choice names (never the built-in entry); none when it is
// the built-in engine or no longer there.
std::optional<EngineEntry> opponentEngine(const OpponentChoice& choice);

OpponentChoice storedOpponent();
void           storeOpponent(const OpponentChoice& choice);
