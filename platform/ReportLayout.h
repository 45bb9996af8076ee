#pragma once

#include <QPageSize>
#include <QRect>
#include <QString>
#include <deque>

// A banded report layout: what a report prints, described as data. All positions and sizes
// are in twips (1440 to the inch), relative to the top-left corner of their section; the
// sections sit inside the page margins.
//
// A report builds its layout once per printing:
//
//     ReportLayout layout;
//     layout.caption = Translate("Database Report");        // the preview window's title
//     layout.width = 8735;
//     ReportSection& header = layout.AddSection(ReportSection::PageHeader, "Section2", 3015);
//     header.AddLabel("lblReportTitle", {120, 1512, 8400, 540}, ReportAlign::Center)
//         .font = ReportFont::Title();
//     header.AddLabel("Label7", {6992, 0, 345, 210}, ReportAlign::Right).caption = "%p";
//     header.AddLine("Line1", 0, 3000, 8595);
//     ReportSection& detail = layout.AddSection(ReportSection::Detail, "Section1", 270);
//     detail.AddField("txtDate", "tDateTime", {0, 0, 960, 270}).format = GetShortDateFormat();
//     layout.SetCaption("Section2", "lblReportTitle", title);  // throws on an unknown name
//
// Sections print in this order: the report header once, then for every row (one group
// level when `groupColumn` is set) group header, detail and group footer, then the report
// footer once; every page has the page header at its top and the page footer at its
// bottom. A band that does not fit the rest of a page moves to the next page.

enum class ReportAlign { Left, Right, Center };

// A font of the report, always DejaVu Sans (loaded by the engine), in points.
struct ReportFont {
    double points = 8;
    bool bold = false;

    static ReportFont Normal() { return {8, false}; }
    static ReportFont Bold() { return {8, true}; }
    static ReportFont Heading() { return {10, true}; }
    static ReportFont Title() { return {14, true}; }
};

struct ReportControl {
    enum Kind { Label, Field, Line };

    Kind kind = Label;
    QString name;
    // Twips inside the section. A line is drawn along the top edge, `rect.width()` long.
    QRect rect;
    ReportAlign align = ReportAlign::Left;
    // Without can-grow a text keeps only the whole lines that fit its box (at least the
    // first), and a field's line is cut at the box's sides; with can-grow it wraps at word
    // boundaries and its band grows with it.
    bool canGrow = false;
    // Label: the text printed; a line break (CR LF or LF) starts a new line.
    QString caption;
    // Label: "%p" the page number, "%P" the number of pages, "%d" the date and "%t" the time
    // of printing are replaced wherever they stand in the caption. SetCaption clears it: a
    // value set at run time prints exactly as given.
    bool codes = true;
    // Field: the column of the row whose value is printed. A null or empty value prints
    // nothing.
    QString column;
    // Field: a Qt date/time pattern ("dd/MM/yyyy", "HH:mm") applied to a value stored as
    // "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd" or "HH:mm:ss"; empty prints the value as stored,
    // and so does any value that is not such a text.
    QString format;
    ReportFont font;
    // Line: the thickness in twips.
    int thickness = 15;
};

struct ReportSection {
    enum Kind {
        ReportHeader,
        PageHeader,
        GroupHeader,
        Detail,
        GroupFooter,
        PageFooter,
        ReportFooter
    };

    Kind kind = Detail;
    QString name;
    // The design height in twips; 0 prints nothing.
    int height = 0;
    // A deque: references handed out stay valid while controls are added.
    std::deque<ReportControl> controls;

    ReportControl& AddLabel(const QString& name, const QRect& rect,
                            ReportAlign align = ReportAlign::Left, bool canGrow = false,
                            const QString& caption = QString());
    ReportControl& AddField(const QString& name, const QString& column, const QRect& rect,
                            ReportAlign align = ReportAlign::Left, bool canGrow = false,
                            const QString& format = QString());
    ReportControl& AddLine(const QString& name, int left, int top, int length);
    // Throws AppError (InvalidCall) when the section has no control of that name.
    ReportControl& Control(const QString& name);
};

class ReportLayout {
public:
    virtual ~ReportLayout() = default;

    // The title of the preview window.
    QString caption;
    // The width of the report's body in twips.
    int width = 8640;
    int leftMargin = 1440;
    int topMargin = 1440;
    int rightMargin = 1440;
    int bottomMargin = 1440;
    QPageSize pageSize = DefaultPageSize();
    // One group level: a group header prints before the first row and before every row
    // whose value in this column differs from the row before; a group footer after the
    // last row of each group. Empty: no grouping.
    QString groupColumn;
    // Patterns of "%d" and "%t", given by the caller (the engine knows no locale).
    QString datePattern = QStringLiteral("yyyy-MM-dd");
    QString timePattern = QStringLiteral("HH:mm");

    ReportSection& AddSection(ReportSection::Kind kind, const QString& name, int height);
    // Throws AppError (InvalidCall) for an unknown section or control name.
    ReportSection& Section(const QString& name);
    ReportControl& Control(const QString& section, const QString& name);
    // The label prints `text` as it stands (no codes replaced).
    void SetCaption(const QString& section, const QString& label, const QString& text);
    void SetFieldFormat(const QString& section, const QString& field, const QString& pattern);

    // The first section of a kind, or nullptr.
    const ReportSection* SectionOf(ReportSection::Kind kind) const;
    const std::deque<ReportSection>& Sections() const { return sections; }

    // Letter where the system measures in inches (US), else A4.
    static QPageSize DefaultPageSize();

private:
    std::deque<ReportSection> sections;
};
