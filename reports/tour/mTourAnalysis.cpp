#include "mTourAnalysis.h"

#include "mErrorHandler.h"
#include "mGlobals.h"

#include <QHash>
#include <algorithm>

namespace {

const QString kForm = QStringLiteral(" of Form frmRptTour");

// The status words, translated once per build.
struct StatusWords {
    QString early = Translate(QStringLiteral("EARLY"));
    QString onTime = Translate(QStringLiteral("ON TIME"));
    QString late = Translate(QStringLiteral("LATE"));
    QString outOfSequence = Translate(QStringLiteral("OUT OF SEQUENCE"));
    QString notOnTour = Translate(QStringLiteral("NOT ON TOUR"));
    QString exception = Translate(QStringLiteral("EXCEPTION"));
    QString missing = Translate(QStringLiteral("MISSING"));
    QString event = Translate(QStringLiteral("EVENT"));
    QString to = Translate(QStringLiteral("to"));

    const QString& of(TouchClaim claim) const {
        switch (claim) {
        case TouchClaim::Early:
            return early;
        case TouchClaim::OnTime:
            return onTime;
        case TouchClaim::Late:
            return late;
        case TouchClaim::OutOfSequence:
            return outOfSequence;
        default:
            return notOnTour;
        }
    }
};

// The position (from 1) of the first touch at or after `t`; Count() + 1 when none is.
int firstTouchFrom(const colLocations& touches, TourTime::Moment t) {
    int low = 1, high = touches.Count() + 1;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (touches.Item(middle).DateAndTime() < t)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

} // namespace

cPointSpan::cPointSpan(const cTourPoint& point, const cTourPoint& prev, const cTourPoint& next,
                       int tolerance)
    : own(point.PointButtonId()), nextButton(next.PointButtonId()),
      open(point.TimeEarliest(tolerance)), close(point.TimeLatest(tolerance)),
      prevOpen(prev.TimeEarliest(tolerance)), nextOpen(next.TimeEarliest(tolerance)) {
    lateTwice = nextButton != own ? 2 * next.TimeLatest(tolerance) : close + nextOpen;
    lastClaimable = std::max({close, lateTwice / 2 + 1, nextOpen});
    firstClaimable = std::min(prevOpen, open);
}

TouchClaim cPointSpan::Classify(const QString& buttonCode, TourTime::Moment t,
                                const QSet<QString>& tourButtons) const {
    if (buttonCode == own) {
        if (prevOpen <= t && t < open)
            return TouchClaim::Early;
        if (open <= t && t <= close)
            return TouchClaim::OnTime;
        if (close < t && 2 * t <= lateTwice)
            return TouchClaim::Late;
        return TouchClaim::None;
    }
    if (buttonCode == nextButton)
        return TouchClaim::None; // left for the next point, whatever its time
    if (open < t && t < nextOpen)
        return tourButtons.contains(buttonCode) ? TouchClaim::OutOfSequence : TouchClaim::NotOnTour;
    return TouchClaim::None;
}

bool TryToMatchTourPoints(cTourReport& tourReport) {
    try {
        const int tolerance = tourReport.Tolerance();
        ToleranceInterval(tolerance); // no window at all: nothing can be matched
        QHash<QString, std::vector<cTourPoint*>> pointsOf;
        for (cTourPoint& point : tourReport.TourPoints())
            pointsOf[point.PointButtonId()].push_back(&point);
        for (const cLocation& touch : tourReport.Buttons()) {
            const auto found = pointsOf.constFind(touch.ButtonCode());
            if (found == pointsOf.constEnd())
                continue;
            const TourTime::Moment t = touch.DateAndTime();
            for (cTourPoint* point : *found) {
                if (point->TimeEarliest(tolerance) <= t && t <= point->TimeLatest(tolerance))
                    point->setPointOK(true);
            }
        }
        return true;
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QStringLiteral("TryToMatchTourPoints") + kForm, e, false);
        return false;
    }
}

bool GetPrevAndNextTourPoints(int index, const colTourPoints& points, TourTime::Moment pointTime,
                              cTourPoint& prevPoint, cTourPoint& nextPoint) {
    try {
        const int n = points.Count();
        prevPoint = cTourPoint();
        nextPoint = cTourPoint();
        if (n >= 2 && index > 1)
            prevPoint = points.Item(index - 1);
        else
            prevPoint.setPointDateTime(pointTime - TourTime::Hour);
        if (n >= 2 && index < n)
            nextPoint = points.Item(index + 1);
        else
            nextPoint.setPointDateTime(pointTime + TourTime::Hour);
        return true;
    } catch (const AppError& e) {
        if (e.number > 0)
            HandleError(QStringLiteral("GetPrevAndNextTourPoints") + kForm, e, false);
        return false;
    }
}

bool IsButtonInTour(const QString& buttonCode, const colTourPoints& points) {
    for (const cTourPoint& point : points)
        if (point.PointButtonId() == buttonCode)
            return true;
    return false;
}

TourWalk WalkTourPoints(cTourReport& tourReport, bool showEvents, bool isTourReport,
                        TourRows& rows) {
    const StatusWords words;
    colTourPoints& points = tourReport.TourPoints();
    colLocations& touches = tourReport.Buttons();
    const int tolerance = tourReport.Tolerance();
    const qint64 toleranceAsDate = tourReport.GetToleranceAsDate();
    QSet<QString> tourButtons;
    for (const cTourPoint& point : points)
        tourButtons.insert(point.PointButtonId());

    // A touch claimed by a point is out of the walk once that point is done; the list itself is
    // compacted once at the end (one pass instead of one per point).
    std::vector<char> taken(static_cast<std::size_t>(touches.Count()) + 1, 0);
    bool noExceptions = true;
    const int n = points.Count();
    rows.reserve(rows.size() + static_cast<std::size_t>(2 * n + touches.Count()));
    for (int i = 1; i <= n; ++i) {
        const cTourPoint& point = points.Item(i);
        cTourPoint prev, next;
        if (!GetPrevAndNextTourPoints(i, points, point.PointDateTime(), prev, next))
            return TourWalk::NeighboursFailed;
        const TourTime::Moment due = point.PointDateTime();
        const QString timeText = TourTime::ShortTime(due);
        const QString rangeText = TourTime::ShortTime(due - toleranceAsDate) + QLatin1Char(' ') +
                                  words.to + QLatin1Char(' ') +
                                  TourTime::ShortTime(due + toleranceAsDate);
        const QString& status = point.PointOK() ? words.onTime : words.exception;
        const bool shown = !point.PointOK() || isTourReport;
        const cPointSpan span(point, prev, next, tolerance);

        bool pointRowWritten = false;
        std::vector<int> claimed;
        // The touches are in time order: those outside the span cannot be claimed.
        const int count = touches.Count();
        for (int j = firstTouchFrom(touches, span.FirstClaimable()); j <= count; ++j) {
            const cLocation& touch = touches.Item(j);
            if (touch.DateAndTime() > span.LastClaimable())
                break;
            if (taken[static_cast<std::size_t>(j)])
                continue;
            const TouchClaim claim =
                span.Classify(touch.ButtonCode(), touch.DateAndTime(), tourButtons);
            if (claim == TouchClaim::None)
                continue;
            claimed.push_back(j);
            if (!shown)
                continue; // a met point's touches are consumed unprinted
            if (!pointRowWritten) {
                AddTourPointRow(rows, point, timeText, rangeText, status);
                pointRowWritten = true;
                noExceptions = false;
            }
            AddTouchRow(rows, TourTime::ShortTime(touch.DateAndTime()), words.of(claim),
                        touch.GroupName() + QStringLiteral(" - ") + touch.Name());
            if (showEvents) {
                for (const cEvent& event : touch.Events())
                    AddTouchRow(rows, TourTime::ShortTime(event.DateAndTime()), words.event,
                                event.GroupName() + QStringLiteral(" - ") + event.Name());
            }
        }
        if (shown && !pointRowWritten) {
            AddTourPointRow(rows, point, timeText, rangeText, words.missing);
            noExceptions = false;
        }
        for (int j : claimed)
            taken[static_cast<std::size_t>(j)] = 1;
    }
    std::vector<int> consumed;
    for (std::size_t j = 1; j < taken.size(); ++j)
        if (taken[j])
            consumed.push_back(static_cast<int>(j));
    touches.RemovePositions(consumed);
    if (noExceptions)
        AddNoExceptionsRows(rows);
    return TourWalk::Done;
}
