#pragma once

#include "LineBreakCache.h"
#include "ReportLayout.h"
#include "ReportSource.h"

#include <QDateTime>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QVector>
#include <functional>
#include <map>
#include <memory>

class QPainter;
class QPrinter;

// One text the engine prints, as a test sees it: where it stands on its page (twips from
// the page's top-left corner) and what it says (codes replaced, display format applied).
struct ReportTextItem {
    QString section;
    QString control;
    QRectF rect;
    QString text;
    // The advance of its widest line, in twips: more than the box's width means the text
    // runs out of its box (a label) or is cut at it (a field).
    double width = 0;
};

// Where a page starts in the stream of bands: the band's place in the report's order and
// the row it belongs to. The page index is a list of these and nothing else.
struct ReportPageStart {
    qint64 band = 0;
    ReportRowStart row;
};

// A report ready to print: a layout and its rows.
//
// Two passes. Paginate() reads the rows once, front to back, measuring each band, and keeps
// only where each page starts (a few bytes a page). PaintPage() then lays out and paints one
// page on demand, reading just that page's rows again; so neither the rows nor the pages of a
// large report are held in memory.
//
//     ReportTableSource rows(*gConn, "tblCustom");   // or ReportQuerySource
//     ReportDocument report(layout, rows, QDateTime::currentDateTime());
//     report.Paginate();                             // throws AppError
//     report.WritePdf(path);                         // or ReportPreview, or Print()
//
// Measurement is done in twips on a fixed resolution, independent of the screen or printer,
// so the same rows always break into the same pages. Texts use DejaVu Sans, loaded from the
// system's font file.
class ReportDocument {
public:
    // Called now and then during long work with the rows or pages done and the total (-1
    // when unknown); returns false to stop the work.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    // The layout is copied: later changes to it do not reach this document. The rows must
    // outlive the document.
    ReportDocument(const ReportLayout& layout, ReportRowSource& rows,
                   const QDateTime& printedAt = QDateTime::currentDateTime());
    ~ReportDocument();
    ReportDocument(const ReportDocument&) = delete;
    ReportDocument& operator=(const ReportDocument&) = delete;

    // The first pass. False when `progress` stopped it (the document then has no pages).
    // Throws AppError when the rows cannot be read or lack a column the layout prints.
    bool Paginate(const Progress& progress = {});
    int PageCount() const { return int(pages.size()); }
    qint64 RowCount() const { return rowCount; }
    const ReportLayout& Layout() const { return layout; }
    QString Title() const { return layout.caption; }
    // The paper in twips.
    QSizeF PageSizeTwips() const;
    const QVector<ReportPageStart>& PageIndex() const { return pages; }

    // Paints page `page` (0-based); the painter's coordinates are twips from the page's
    // top-left corner.
    void PaintPage(int page, QPainter& painter) const;
    // Paints page `page` scaled into `target` (device coordinates of the painter), keeping
    // the page's proportions.
    void PaintPageInto(int page, QPainter& painter, const QRectF& target) const;
    // The texts of a page without painting it.
    QVector<ReportTextItem> PageItems(int page) const;

    // Writes pages first to last (1-based, inclusive; 0 for the whole report) to a PDF file.
    // The file is replaced only when every page was written. False when `progress` stopped
    // it; throws AppError when the file cannot be written.
    bool WritePdf(const QString& path, int first = 0, int last = 0,
                  const Progress& progress = {}) const;
    // Prints pages first to last (1-based, inclusive; 0 for the whole report) on a printer
    // already set up (a page that does not fit the paper is scaled down). False when
    // `progress` stopped it; throws AppError when the printer cannot be started. The window
    // library (platformui) defines it: a printer needs Qt Print Support.
    bool Print(QPrinter& printer, int first = 0, int last = 0, const Progress& progress = {}) const;

    // "%p", "%P", "%d" and "%t" replaced in one pass, left to right.
    static QString ReplaceCodes(const QString& caption, int page, int pages, const QString& date,
                                const QString& time);
    // A field's value as printed: null or empty prints nothing; a stored date and time text
    // ("yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd", "HH:mm:ss") takes the pattern; anything else is
    // printed as stored.
    static QString FormatValue(const QVariant& value, const QString& pattern);

private:
    // Pages 0 or out of range mean the first and the last page.
    static void clampRange(int pageCount, int& first, int& last);

    struct Band;
    struct FontInfo {
        QFont font;
        double lineSpacing = 0;
        double ascent = 0;
    };
    class Stream;
    class Sink;
    class PainterSink;
    class RecordingSink;

    static int fontKeyOf(const ReportFont& font);
    const FontInfo& fontFor(const ReportFont& font) const;
    static double advanceOf(const FontInfo& font, const QString& line);
    QStringList linesOf(const ReportControl& c, const QString& text, bool wrap) const;
    QString controlText(const ReportControl& c, const Band* band, int page) const;
    int bandHeight(const ReportSection& section, const Band* band, int page,
                   std::vector<int>* offsets = nullptr) const;
    void paintBand(Sink& sink, const ReportSection& section, const Band* band, int page, double top,
                   double clipBottom) const;
    void paintPage(int page, Sink& sink) const;

    ReportLayout layout;
    ReportRowSource& rows;
    QString printDate;
    QString printTime;
    QStringList allColumns;     // printed by a field of a row band, or the group column
    QStringList measureColumns; // needed to lay out the pages
    int groupIndexAll = -1;
    int groupIndexMeasure = -1;
    QVector<ReportPageStart> pages;
    qint64 rowCount = 0;
    mutable std::map<int, FontInfo> fonts;
    mutable LineBreakCache lineBreaks;
};
