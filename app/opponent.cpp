#include "app/opponent.h"

#include <QSettings>

#include <algorithm>

#include "resources/gametexts.h"

namespace {

// Settings keys (ASCII).
const char* const EngineKey   = "opponent/engine";
const char* const StrengthKey = "opponent/strength";
const char* const EloKey      = "opponent/elo";
const char* const SkillKey    = "opponent/skill";

// A spin's range and default; false when the option is not a spin with both bounds.
bool spinRange(const UciOption* option, long long& min, long long& max, long long& fallback) {
    if (!option || option->type != UciOptionType::Spin || !option->min || !option->max ||
        *option->min > *option->max)
        return false;
    min      = *option->min;
    max      = *option->max;
    fallback = min;
    if (option->defaultValue) {
        try {
            fallback = std::stoll(*option->defaultValue);
        } catch (...) {
        }
    }
    fallback = std::clamp(fallback, min, max);
    return true;
}

} // namespace

StrengthOffer strengthOffer(const std::vector<UciOption>& options) {
    StrengthOffer    offer;
    const UciOption* limit = findUciOption(options, "UCI_LimitStrength");
    offer.elo =
        limit && limit->type == UciOptionType::Check &&
        spinRange(findUciOption(options, "UCI_Elo"), offer.eloMin, offer.eloMax, offer.eloDefault);
    offer.skill = spinRange(findUciOption(options, "Skill Level"), offer.skillMin, offer.skillMax,
                            offer.skillDefault);
    return offer;
}

QList<QPair<QString, QString>> strengthOptions(const OpponentChoice&         choice,
                                               const std::vector<UciOption>& options) {
    const StrengthOffer offer = strengthOffer(options);
    const auto          name  = [&options](const char* wanted) {
        return QString::fromStdString(findUciOption(options, wanted)->name);
    };
    QList<QPair<QString, QString>> sent;
    if (choice.strength == OpponentChoice::Elo && offer.elo) {
        sent.append({name("UCI_LimitStrength"), QStringLiteral("true")});
        sent.append({name("UCI_Elo"), QString::number(std::clamp<long long>(
                                          choice.elo, offer.eloMin, offer.eloMax))});
    } else if (choice.strength == OpponentChoice::Skill && offer.skill) {
        sent.append({name("Skill Level"), QString::number(std::clamp<long long>(
                                              choice.skill, offer.skillMin, offer.skillMax))});
    } else if (offer.elo) {
        sent.append({name("UCI_LimitStrength"), QStringLiteral("false")});
    }
    return sent;
}

QString opponentPlayerName(const OpponentChoice& choice) {
    switch (choice.strength) {
    case OpponentChoice::Elo:
        return QString::fromUtf8(GameText::OpponentElo).arg(choice.engine).arg(choice.elo);
    case OpponentChoice::Skill:
        return QString::fromUtf8(GameText::OpponentSkill).arg(choice.engine).arg(choice.skill);
    case OpponentChoice::Full:
        break;
    }
    return choice.engine;
}

std::optional<EngineEntry> opponentEngine(const OpponentChoice& choice) {
    if (choice.isBuiltIn()) return std::nullopt;
    for (const EngineEntry& entry : availableEngines())
        if (!entry.builtIn && entry.name == choice.engine) return entry;
    return std::nullopt;
}

OpponentChoice storedOpponent() {
    QSettings      settings;
    OpponentChoice choice;
    choice.engine      = settings.value(EngineKey).toString();
    const int strength = settings.value(StrengthKey, 0).toInt();
    choice.strength    = strength == OpponentChoice::Elo     ? OpponentChoice::Elo
                         : strength == OpponentChoice::Skill ? OpponentChoice::Skill
                                                             : OpponentChoice::Full;
    choice.elo         = settings.value(EloKey, choice.elo).toInt();
    choice.skill       = settings.value(SkillKey, choice.skill).toInt();
    return choice;
}

void storeOpponent(const OpponentChoice& choice) {
    QSettings settings;
    settings.setValue(EngineKey, choice.engine);
    settings.setValue(StrengthKey, static_cast<int>(choice.strength));
    settings.setValue(EloKey, choice.elo);
    settings.setValue(SkillKey, choice.skill);
}
