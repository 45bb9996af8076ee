#pragma once

#include "cTourReport.h"
#include "mTourRows.h"

#include <QSet>

// What a point makes of one location touch.
enum class TouchClaim { None, Early, OnTime, Late, OutOfSequence, NotOnTour };

// The bounds that decide which touches a point claims, worked out once per point.
class cPointSpan {
public:
    // Throws when the tolerance is no acceptance window (outside 0 to 59).
    cPointSpan(const cTourPoint& point, const cTourPoint& prev, const cTourPoint& next,
               int tolerance);

    // `tourButtons` holds the button codes of every point of the tour.
    TouchClaim Classify(const QString& buttonCode, TourTime::Moment t,
                        const QSet<QString>& tourButtons) const;
    // No touch before the first or after the last of these moments is claimed.
    TourTime::Moment FirstClaimable() const { return firstClaimable; }
    TourTime::Moment LastClaimable() const { return lastClaimable; }

private:
    QString own;
    QString nextButton;
    TourTime::Moment open;
    TourTime::Moment close;
    TourTime::Moment prevOpen;
    TourTime::Moment nextOpen;
    // Twice the late limit: the halfway limit between two points on one button falls on a
    // half second, and comparing doubled whole seconds keeps it exact.
    TourTime::Moment lateTwice;
    TourTime::Moment firstClaimable;
    TourTime::Moment lastClaimable;
};

// Marks every point that a touch of its button met inside its window; false (and a line in
// the error log) when that failed.
bool TryToMatchTourPoints(cTourReport& tourReport);
// The neighbours of the point at `index` (from 1); a missing one is a point without button
// one hour before or after `pointTime`.
bool GetPrevAndNextTourPoints(int index, const colTourPoints& points, TourTime::Moment pointTime,
                              cTourPoint& prevPoint, cTourPoint& nextPoint);
bool IsButtonInTour(const QString& buttonCode, const colTourPoints& points);

enum class TourWalk { Done, NeighboursFailed };

// Walks the points in tour order, classifies the touches around each and appends the
// report's rows. Claimed touches leave tourReport.Buttons(). Throws AppError on a failure
// of its own.
TourWalk WalkTourPoints(cTourReport& tourReport, bool showEvents, bool isTourReport,
                        TourRows& rows);
