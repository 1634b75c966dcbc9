#include "app/searchvalues.h"

SearchCriteria searchCriteriaOf(const SearchDialogValues& values) {
    SearchCriteria criteria;
    criteria.name       = values.name.toStdString();
    criteria.side       = values.side == WhiteSide || values.side == BlackSide
                              ? static_cast<NameSide>(values.side)
                              : EitherSide;
    criteria.resultMask = (values.whiteWon ? WhiteWon : 0) | (values.blackWon ? BlackWon : 0) |
                          (values.drawn ? Drawn : 0);
    criteria.eco = values.ecoItem > 0 && values.ecoItem <= NoEco ? values.ecoItem - 1 : NoEco;
    if (!values.ecoRange.trimmed().isEmpty() &&
        !readEcoRange(QString(values.ecoRange).toUpper().remove(QLatin1Char(' ')).toStdString(),
                      criteria.ecoFrom, criteria.ecoTo))
        criteria.ecoFrom = criteria.ecoTo = NoEco;
    criteria.yearFrom = values.yearFrom;
    criteria.yearTo   = values.yearTo;
    if (!values.dateFrom.isEmpty() &&
        !readDateBound(values.dateFrom.toStdString(), false, criteria.dateFrom))
        criteria.dateFrom = 0;
    if (!values.dateTo.isEmpty() &&
        !readDateBound(values.dateTo.toStdString(), true, criteria.dateTo))
        criteria.dateTo = 0;
    criteria.eloMin   = values.eloMin;
    criteria.eloMax   = values.eloMax;
    criteria.eloOf    = values.eloOf == BothRatings || values.eloOf == PlayerRating
                            ? static_cast<RatingOf>(values.eloOf)
                            : EitherRating;
    criteria.event    = values.event.trimmed().toStdString();
    criteria.site     = values.site.trimmed().toStdString();
    criteria.movesMin = values.movesMin;
    criteria.movesMax = values.movesMax;
    criteria.position = values.samePosition;
    return criteria;
}
