#include "cTourModel.h"

qint64 ToleranceInterval(int tolerance) {
    // The window is written as a time of day "00:TT" (and "00:TT:59"): no other value fits.
    if (tolerance < 0 || tolerance > 59)
        throw AppError(13, QStringLiteral("Type mismatch: a tolerance of %1 minutes is no time "
                                          "window (0 to 59)")
                               .arg(tolerance));
    return tolerance * TourTime::Minute;
}

TourTime::Moment cTourPoint::TimeEarliest(int tolerance) const {
    return pointDateTime - ToleranceInterval(tolerance);
}

TourTime::Moment cTourPoint::TimeLatest(int tolerance) const {
    return pointDateTime + ToleranceInterval(tolerance) + 59;
}

QString FixedButtonCode(const QString& code) {
    return code.left(6).leftJustified(6, QLatin1Char(' '));
}

cTourPoint& colTourPoints::Add(bool PointOK, const QString& SiteName, const QString& ButtonDesc,
                               const QString& ButtonName, const QString& PointButtonId,
                               TourTime::Moment PointDateTime, qint32 PointIndex,
                               const QString& sKey) {
    auto point = std::make_unique<cTourPoint>();
    point->setPointOK(PointOK);
    point->setSiteName(SiteName);
    point->setButtonDesc(ButtonDesc);
    point->setButtonName(ButtonName);
    point->setPointButtonId(PointButtonId);
    point->setPointDateTime(PointDateTime);
    point->setPointIndex(PointIndex);
    return append(std::move(point), sKey);
}

cEvent& colEvents::Add(const QString& GroupDesc, const QString& GroupName,
                       const QString& Description, const QString& Name, const QString& Code,
                       TourTime::Moment DateAndTime, const QString& sKey) {
    auto event = std::make_unique<cEvent>();
    event->setGroupDesc(GroupDesc);
    event->setGroupName(GroupName);
    event->setDescription(Description);
    event->setName(Name);
    event->setCode(Code);
    event->setDateAndTime(DateAndTime);
    return append(std::move(event), sKey);
}

cLocation& colLocations::Add(TourTime::Moment DateAndTime, const QString& ButtonCode,
                             const QString& Name, const QString& Description,
                             const QString& GroupName, const QString& GroupDesc) {
    auto location = std::make_unique<cLocation>();
    location->setDateAndTime(DateAndTime);
    location->setButtonCode(ButtonCode);
    location->setName(Name);
    location->setDescription(Description);
    location->setGroupName(GroupName);
    location->setGroupDesc(GroupDesc);
    return append(std::move(location), QString());
}
