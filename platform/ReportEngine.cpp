#include "ReportEngine.h"

#include "AppError.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <optional>

namespace {

constexpr qint64 kReportHeaderBand = -1;
constexpr qint64 kReportFooterBand = std::numeric_limits<qint64>::max();
// Each row owns four places in the band order: group header, detail, group footer.
constexpr qint64 kBandsPerRow = 4;
constexpr qint64 kProgressEvery = 500;

const char* const kFontFiles[] = {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                  "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"};

QString reportFontFamily() {
    static const QString family = [] {
        QString found;
        for (const char* file : kFontFiles) {
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
            if (id >= 0 && found.isEmpty())
                found = QFontDatabase::applicationFontFamilies(id).value(0);
        }
        // Without the file the installed family of that name, or the default sans.
        return found.isEmpty() ? QStringLiteral("DejaVu Sans") : found;
    }();
    return family;
}

// Texts are measured on this device whatever they are painted on, so the pages break the
// same way on screen, paper and PDF.
const QPaintDevice* measureDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        image.setDotsPerMeterX(56693); // 1440 dpi: one pixel is one twip
        image.setDotsPerMeterY(56693);
        return image;
    }();
    return &device;
}

QString trimmedRight(const QString& text) {
    int end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

int alignmentFlags(ReportAlign align) {
    switch (align) {
    case ReportAlign::Right:
        return Qt::AlignRight;
    case ReportAlign::Center:
        return Qt::AlignHCenter;
    case ReportAlign::Left:
    default:
        return Qt::AlignLeft;
    }
}

bool isRowBand(ReportSection::Kind kind) {
    return kind == ReportSection::GroupHeader || kind == ReportSection::Detail ||
           kind == ReportSection::GroupFooter;
}

const ReportSection* printedSection(const ReportLayout& layout, ReportSection::Kind kind) {
    const ReportSection* s = layout.SectionOf(kind);
    return s && s->height > 0 ? s : nullptr;
}

} // namespace

struct ReportDocument::Band {
    ReportSection::Kind kind = ReportSection::Detail;
    const ReportSection* section = nullptr;
    qint64 seq = 0;
    ReportRowStart row;
    const QStringList* columns = nullptr;
    // Shared by the bands of one row: copied for none of them.
    std::shared_ptr<const std::vector<QVariant>> values;
    int height = -1;
};

// The bands of the report in print order from a page's start on: the report header, for each
// row its group header, detail and group footer, then the report footer. Pagination and
// painting both walk it, so they cannot disagree about what a page holds.
class ReportDocument::Stream {
public:
    Stream(const ReportDocument& doc, const ReportPageStart* start, const QStringList& names,
           int groupColumn)
        : columns(names), groupIndex(groupColumn),
          startSeq(start ? start->band : kReportHeaderBand) {
        rh = printedSection(doc.layout, ReportSection::ReportHeader);
        gh = printedSection(doc.layout, ReportSection::GroupHeader);
        detail = printedSection(doc.layout, ReportSection::Detail);
        gf = printedSection(doc.layout, ReportSection::GroupFooter);
        rf = printedSection(doc.layout, ReportSection::ReportFooter);
        if (startSeq == kReportFooterBand) {
            stage = Footer;
        } else if (startSeq <= kReportHeaderBand) {
            stage = Header;
            rows = doc.rows.Open(nullptr, columns);
        } else {
            stage = Rows;
            rows = doc.rows.Open(&start->row, columns);
            nextOrdinal = start->row.ordinal;
        }
    }

    qint64 RowsRead() const { return nextOrdinal; }

    bool Next(Band& out) {
        while (queue.empty()) {
            switch (stage) {
            case Header:
                push(ReportSection::ReportHeader, rh, kReportHeaderBand, nullptr);
                stage = Rows;
                break;
            case Rows:
                if (!current && !(current = read())) {
                    stage = Footer;
                    break;
                }
                emitRow();
                break;
            case Footer:
                rows.reset(); // every statement is finished before the footer prints
                push(ReportSection::ReportFooter, rf, kReportFooterBand, nullptr);
                stage = Done;
                break;
            case Done:
                return false;
            }
        }
        out = std::move(queue.front());
        queue.pop_front();
        return true;
    }

private:
    struct Row {
        ReportRowStart at;
        std::shared_ptr<const std::vector<QVariant>> values;
        QString group;
    };

    std::optional<Row> read() {
        if (!rows)
            return std::nullopt;
        if (!rows->Next()) {
            rows.reset(); // the end: its statement is finished at once
            return std::nullopt;
        }
        Row r;
        r.at.key = rows->Key();
        r.at.ordinal = nextOrdinal++;
        auto values = std::make_shared<std::vector<QVariant>>();
        values->reserve(size_t(columns.size()));
        for (int i = 0; i < columns.size(); ++i)
            values->push_back(rows->Value(i));
        if (groupIndex >= 0)
            r.group = values->at(size_t(groupIndex)).toString();
        r.values = std::move(values);
        return r;
    }

    void emitRow() {
        std::optional<Row> next = read();
        // The first row of a pass starts a group; where a page starts after the group
        // header, its place in the order leaves the header out.
        const bool starts = first || current->group != previousGroup;
        const bool ends = !next || next->group != current->group;
        const qint64 base = current->at.ordinal * kBandsPerRow;
        if (starts)
            push(ReportSection::GroupHeader, gh, base, &*current);
        push(ReportSection::Detail, detail, base + 1, &*current);
        if (ends)
            push(ReportSection::GroupFooter, gf, base + 2, &*current);
        first = false;
        previousGroup = current->group;
        current = std::move(next);
    }

    void push(ReportSection::Kind kind, const ReportSection* section, qint64 seq, const Row* row) {
        if (!section || seq < startSeq)
            return;
        Band b;
        b.kind = kind;
        b.section = section;
        b.seq = seq;
        b.columns = &columns;
        if (row) {
            b.row = row->at;
            b.values = row->values;
        }
        queue.push_back(std::move(b));
    }

    enum Stage { Header, Rows, Footer, Done };

    const QStringList& columns;
    int groupIndex;
    qint64 startSeq;
    const ReportSection* rh = nullptr;
    const ReportSection* gh = nullptr;
    const ReportSection* detail = nullptr;
    const ReportSection* gf = nullptr;
    const ReportSection* rf = nullptr;
    std::unique_ptr<ReportRows> rows;
    Stage stage = Header;
    qint64 nextOrdinal = 0;
    std::optional<Row> current;
    QString previousGroup;
    bool first = true;
    std::deque<Band> queue;
};

// Where a page's texts and lines go: a painter, or a list for tests.
class ReportDocument::Sink {
public:
    virtual ~Sink() = default;
    virtual void Text(const ReportSection& section, const ReportControl& control,
                      const FontInfo& font, const QRectF& box, const QStringList& lines, int flags,
                      bool clip) = 0;
    virtual void Line(const ReportControl& control, const QLineF& line) = 0;
    virtual void Clip(const QRectF& area) = 0;
    virtual void Unclip() = 0;
};

class ReportDocument::PainterSink : public ReportDocument::Sink {
public:
    explicit PainterSink(QPainter& target) : painter(target) {}

    void Text(const ReportSection&, const ReportControl&, const FontInfo& font, const QRectF& box,
              const QStringList& lines, int flags, bool clip) override {
        painter.setFont(font.font);
        painter.setPen(Qt::black);
        for (int i = 0; i < lines.size(); ++i) {
            const QRectF line(box.left(), box.top() + i * font.lineSpacing, box.width(),
                              font.lineSpacing);
            painter.drawText(line,
                             flags | Qt::AlignTop | Qt::TextSingleLine |
                                 (clip ? 0 : int(Qt::TextDontClip)),
                             lines.at(i));
        }
    }

    void Line(const ReportControl& control, const QLineF& line) override {
        QPen pen(Qt::black, qMax(1, control.thickness));
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(line);
    }

    void Clip(const QRectF& area) override {
        painter.save();
        painter.setClipRect(area, Qt::IntersectClip);
    }
    void Unclip() override { painter.restore(); }

private:
    QPainter& painter;
};

class ReportDocument::RecordingSink : public ReportDocument::Sink {
public:
    void Text(const ReportSection& section, const ReportControl& control, const FontInfo& font,
              const QRectF& box, const QStringList& lines, int, bool) override {
        QRectF rect = box;
        rect.setHeight(qMax(box.height(), lines.size() * font.lineSpacing));
        double width = 0;
        for (const QString& line : lines)
            width = qMax(width, advanceOf(font, line));
        items.append({section.name, control.name, rect, lines.join(QLatin1Char('\n')), width});
    }
    void Line(const ReportControl&, const QLineF&) override {}
    void Clip(const QRectF&) override {}
    void Unclip() override {}

    QVector<ReportTextItem> items;
};

ReportDocument::ReportDocument(const ReportLayout& source, ReportRowSource& rowSource,
                               const QDateTime& printedAt)
    : layout(source), rows(rowSource) {
    const QLocale locale;
    printDate = locale.toString(printedAt.date(), layout.datePattern);
    printTime = locale.toString(printedAt.time(), layout.timePattern);
    auto addColumn = [](QStringList& list, const QString& column) {
        if (!column.isEmpty() && !list.contains(column, Qt::CaseInsensitive))
            list << column;
    };
    addColumn(allColumns, layout.groupColumn);
    addColumn(measureColumns, layout.groupColumn);
    for (const ReportSection& s : layout.Sections()) {
        if (!isRowBand(s.kind))
            continue;
        for (const ReportControl& c : s.controls) {
            if (c.kind != ReportControl::Field)
                continue;
            addColumn(allColumns, c.column);
            if (c.canGrow)
                addColumn(measureColumns, c.column);
        }
    }
    if (!layout.groupColumn.isEmpty()) {
        groupIndexAll = 0;
        groupIndexMeasure = 0;
    }
}

ReportDocument::~ReportDocument() = default;

QSizeF ReportDocument::PageSizeTwips() const {
    const QSizeF points = layout.pageSize.size(QPageSize::Point);
    return points * 20.0;
}

int ReportDocument::fontKeyOf(const ReportFont& style) {
    return qMax(1, qRound(style.points * 20)) * 2 + (style.bold ? 1 : 0);
}

const ReportDocument::FontInfo& ReportDocument::fontFor(const ReportFont& style) const {
    const int pixels = qMax(1, qRound(style.points * 20));
    const int key = fontKeyOf(style);
    auto it = fonts.find(key);
    if (it != fonts.end())
        return it->second;
    FontInfo info;
    info.font = QFont(reportFontFamily());
    info.font.setPixelSize(pixels);
    info.font.setBold(style.bold);
    info.font.setHintingPreference(QFont::PreferNoHinting);
    info.font.setKerning(false);
    // No ligatures: the PDF's text must read as the report's text ("Office", not U+FB03).
    info.font.setStyleStrategy(QFont::PreferNoShaping);
    const QFontMetricsF metrics(info.font, measureDevice());
    info.lineSpacing = metrics.lineSpacing();
    info.ascent = metrics.ascent();
    return fonts.emplace(key, info).first->second;
}

double ReportDocument::advanceOf(const FontInfo& font, const QString& line) {
    return QFontMetricsF(font.font, measureDevice()).horizontalAdvance(line);
}

QStringList ReportDocument::linesOf(const ReportControl& c, const QString& text, bool wrap) const {
    const int fontKey = fontKeyOf(c.font);
    const int widthKey = qMax(1, c.rect.width());
    if (wrap) {
        if (const QStringList* known = lineBreaks.Find(fontKey, widthKey, text))
            return *known;
    }
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), '\n');
    const QStringList paragraphs = normal.split(QLatin1Char('\n'));
    if (!wrap)
        return paragraphs;
    const FontInfo& info = fontFor(c.font);
    const double width = widthKey;
    QStringList lines;
    for (const QString& p : paragraphs) {
        if (p.isEmpty() || advanceOf(info, p) <= width) {
            lines << p;
            continue;
        }
        QTextLayout textLayout(p, info.font, measureDevice());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        textLayout.setTextOption(option);
        textLayout.beginLayout();
        for (QTextLine line = textLayout.createLine(); line.isValid();
             line = textLayout.createLine()) {
            line.setLineWidth(width);
            lines << trimmedRight(p.mid(line.textStart(), line.textLength()));
        }
        textLayout.endLayout();
    }
    lineBreaks.Store(fontKey, widthKey, text, lines);
    return lines;
}

QString ReportDocument::ReplaceCodes(const QString& caption, int page, int pageCount,
                                     const QString& date, const QString& time) {
    if (!caption.contains(QLatin1Char('%')))
        return caption;
    QString out;
    out.reserve(caption.size() + 8);
    for (int i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i);
        if (c == QLatin1Char('%') && i + 1 < caption.size()) {
            const QChar code = caption.at(i + 1);
            if (code == QLatin1Char('p')) {
                out += QString::number(page);
                ++i;
                continue;
            }
            if (code == QLatin1Char('P')) {
                out += QString::number(pageCount);
                ++i;
                continue;
            }
            if (code == QLatin1Char('d')) {
                out += date;
                ++i;
                continue;
            }
            if (code == QLatin1Char('t')) {
                out += time;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString ReportDocument::FormatValue(const QVariant& value, const QString& pattern) {
    if (value.isNull())
        return QString();
    // The locale is made only for a value that is formatted: a plain text, row after row,
    // needs none.
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return pattern.isEmpty() ? value.toString()
                                 : QLocale().toString(value.toDateTime(), pattern);
    case QMetaType::QDate:
        return pattern.isEmpty() ? value.toString() : QLocale().toString(value.toDate(), pattern);
    case QMetaType::QTime:
        return pattern.isEmpty() ? value.toString() : QLocale().toString(value.toTime(), pattern);
    default:
        break;
    }
    const QString text = value.toString();
    if (text.isEmpty() || pattern.isEmpty() || value.typeId() != QMetaType::QString)
        return text;
    static const QRegularExpression moment(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})(?:[ T](\\d{2}):(\\d{2})(?::(\\d{2}))?)?$"));
    static const QRegularExpression timeOfDay(QStringLiteral("^(\\d{2}):(\\d{2})(?::(\\d{2}))?$"));
    const QRegularExpressionMatch m = moment.match(text);
    if (m.hasMatch()) {
        const QDate day(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        const QTime time =
            m.captured(4).isEmpty()
                ? QTime(0, 0)
                : QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
        if (!day.isValid() || !time.isValid())
            return text;
        // Built from its parts in UTC: a wall-clock time in a gap of daylight saving time
        // must print as stored, never moved.
        return QLocale().toString(QDateTime(day, time, Qt::UTC), pattern);
    }
    const QRegularExpressionMatch t = timeOfDay.match(text);
    if (t.hasMatch()) {
        const QTime time(t.captured(1).toInt(), t.captured(2).toInt(), t.captured(3).toInt());
        return time.isValid() ? QLocale().toString(time, pattern) : text;
    }
    return text;
}

QString ReportDocument::controlText(const ReportControl& c, const Band* band, int page) const {
    if (c.kind == ReportControl::Label) {
        if (!c.codes)
            return c.caption;
        // Laid out with room for five digits, painted with the real numbers.
        return page > 0 ? ReplaceCodes(c.caption, page, PageCount(), printDate, printTime)
                        : ReplaceCodes(c.caption, 88888, 88888, printDate, printTime);
    }
    if (c.kind != ReportControl::Field || !band || !band->columns)
        return QString();
    if (!band->values)
        return QString();
    const std::vector<QVariant>& values = *band->values;
    for (int i = 0; i < band->columns->size() && size_t(i) < values.size(); ++i)
        if (band->columns->at(i).compare(c.column, Qt::CaseInsensitive) == 0)
            return FormatValue(values[size_t(i)], c.format);
    return QString();
}

int ReportDocument::bandHeight(const ReportSection& section, const Band* band, int,
                               std::vector<int>* offsets) const {
    // A can-grow control that grows pushes down every control that lies wholly below it.
    std::vector<int> growth(section.controls.size(), 0);
    bool anyGrowth = false;
    for (size_t i = 0; i < section.controls.size(); ++i) {
        const ReportControl& c = section.controls[i];
        if (!c.canGrow || c.kind == ReportControl::Line)
            continue;
        const QString text = controlText(c, band, 0);
        if (text.isEmpty())
            continue;
        const double needed = linesOf(c, text, true).size() * fontFor(c.font).lineSpacing;
        growth[i] = qMax(0, int(std::ceil(needed)) - c.rect.height());
        anyGrowth = anyGrowth || growth[i] > 0;
    }
    if (offsets)
        offsets->assign(section.controls.size(), 0);
    if (!anyGrowth)
        return section.height;
    // In top order, so that a pushed control that grows pushes on by its move and its growth.
    std::vector<size_t> order(section.controls.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const QRect& ra = section.controls[a].rect;
        const QRect& rb = section.controls[b].rect;
        return ra.top() != rb.top() ? ra.top() < rb.top() : ra.height() < rb.height();
    });
    std::vector<int> moved(section.controls.size(), 0);
    int extra = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        const size_t i = order[k];
        const QRect& c = section.controls[i].rect;
        int offset = 0;
        for (size_t m = 0; m < k; ++m) {
            const size_t j = order[m];
            const QRect& g = section.controls[j].rect;
            if (g.top() + g.height() <= c.top())
                offset = qMax(offset, moved[j] + growth[j]);
        }
        moved[i] = offset;
        extra = qMax(extra, offset + growth[i]);
    }
    if (offsets)
        *offsets = moved;
    return section.height + extra;
}

void ReportDocument::paintBand(Sink& sink, const ReportSection& section, const Band* band, int page,
                               double top, double clipBottom) const {
    std::vector<int> offsets;
    const int height = bandHeight(section, band, page, &offsets);
    const bool clipped = top + height > clipBottom;
    const double left = layout.leftMargin;
    if (clipped)
        sink.Clip(QRectF(left - layout.leftMargin, top, PageSizeTwips().width(), clipBottom - top));
    for (size_t i = 0; i < section.controls.size(); ++i) {
        const ReportControl& c = section.controls[i];
        const double y = top + c.rect.top() + offsets[i];
        if (y >= clipBottom)
            continue;
        if (c.kind == ReportControl::Line) {
            sink.Line(c, QLineF(left + c.rect.left(), y, left + c.rect.left() + c.rect.width(), y));
            continue;
        }
        const QString text = controlText(c, band, page);
        if (text.isEmpty())
            continue;
        const FontInfo& info = fontFor(c.font);
        QStringList lines = linesOf(c, text, c.canGrow);
        if (!c.canGrow) {
            // Only whole lines that fit the box, and always the first.
            const int fit = qMax(1, int(c.rect.height() / info.lineSpacing));
            if (lines.size() > fit)
                lines = lines.mid(0, fit);
        }
        const QRectF box(left + c.rect.left(), y, c.rect.width(), c.rect.height());
        // A field's value is cut at its box (a rule of underscores stays one rule); a label
        // is never cut short sideways, so a page number keeps all its digits.
        sink.Text(section, c, info, box, lines, alignmentFlags(c.align),
                  !c.canGrow && c.kind == ReportControl::Field);
    }
    if (clipped)
        sink.Unclip();
}

bool ReportDocument::Paginate(const Progress& progress) {
    pages.clear();
    rowCount = 0;
    const qint64 total = progress ? rows.CountHint() : -1;
    // Every column the layout prints must be there, not only those laid out.
    const QStringList known = rows.Columns();
    for (const QString& c : allColumns)
        if (!known.contains(c, Qt::CaseInsensitive))
            throw AppError(AppError::InvalidCall,
                           QStringLiteral("The report's rows have no column named %1").arg(c));

    const ReportSection* ph = printedSection(layout, ReportSection::PageHeader);
    const ReportSection* pf = printedSection(layout, ReportSection::PageFooter);
    const double body = PageSizeTwips().height() - layout.topMargin - layout.bottomMargin;
    const double room =
        body - (ph ? bandHeight(*ph, nullptr, 0) : 0) - (pf ? bandHeight(*pf, nullptr, 0) : 0);

    Stream stream(*this, nullptr, measureColumns, groupIndexMeasure);
    std::optional<Band> peeked;
    Band band;
    double y = 0;
    int onPage = 0;
    qint64 reported = 0;
    auto pull = [&](Band& out) {
        if (peeked) {
            out = std::move(*peeked);
            peeked.reset();
            return true;
        }
        return stream.Next(out);
    };
    while (pull(band)) {
        if (band.height < 0)
            band.height = bandHeight(*band.section, &band, 0);
        double needed = band.height;
        // A group header never ends a page: it goes with the band that follows it.
        if (band.kind == ReportSection::GroupHeader) {
            Band next;
            if (stream.Next(next)) {
                next.height = bandHeight(*next.section, &next, 0);
                needed += next.height;
                peeked = std::move(next);
            }
        }
        if (pages.isEmpty() || (onPage > 0 && y + needed > room)) {
            pages.append(ReportPageStart{band.seq, band.row});
            y = 0;
            onPage = 0;
        }
        // A band taller than the page stands clipped on a page of its own.
        y += band.height;
        ++onPage;
        if (progress && stream.RowsRead() - reported >= kProgressEvery) {
            reported = stream.RowsRead();
            if (!progress(reported, total)) {
                pages.clear();
                return false;
            }
        }
    }
    rowCount = stream.RowsRead();
    if (pages.isEmpty())
        pages.append(ReportPageStart{kReportFooterBand, ReportRowStart{}});
    if (progress)
        progress(rowCount, total);
    return true;
}

void ReportDocument::paintPage(int page, Sink& sink) const {
    if (page < 0 || page >= PageCount())
        throw AppError(AppError::InvalidValue,
                       QStringLiteral("The report has no page %1").arg(page + 1));
    const int number = page + 1;
    const ReportSection* ph = printedSection(layout, ReportSection::PageHeader);
    const ReportSection* pf = printedSection(layout, ReportSection::PageFooter);
    const double pageHeight = PageSizeTwips().height();
    const double phHeight = ph ? bandHeight(*ph, nullptr, 0) : 0;
    const double pfHeight = pf ? bandHeight(*pf, nullptr, 0) : 0;
    const double bodyTop = layout.topMargin + phHeight;
    const double bodyBottom = pageHeight - layout.bottomMargin - pfHeight;
    if (ph)
        paintBand(sink, *ph, nullptr, number, layout.topMargin, layout.topMargin + phHeight);

    const qint64 end = page + 1 < PageCount() ? pages[page + 1].band : kReportFooterBand;
    const bool toTheEnd = page + 1 >= PageCount();
    Stream stream(*this, &pages[page], allColumns, groupIndexAll);
    Band band;
    double y = bodyTop;
    while (stream.Next(band) && (toTheEnd || band.seq < end)) {
        const int height = bandHeight(*band.section, &band, number);
        paintBand(sink, *band.section, &band, number, y, bodyBottom);
        y += height;
    }
    if (pf)
        paintBand(sink, *pf, nullptr, number, bodyBottom, bodyBottom + pfHeight);
}

void ReportDocument::PaintPage(int page, QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PainterSink sink(painter);
    paintPage(page, sink);
}

void ReportDocument::PaintPageInto(int page, QPainter& painter, const QRectF& target) const {
    const QSizeF size = PageSizeTwips();
    const double scale = qMin(target.width() / size.width(), target.height() / size.height());
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    PaintPage(page, painter);
    painter.restore();
}

QVector<ReportTextItem> ReportDocument::PageItems(int page) const {
    RecordingSink sink;
    paintPage(page, sink);
    return sink.items;
}

void ReportDocument::clampRange(int pageCount, int& first, int& last) {
    if (first <= 0)
        first = 1;
    if (last <= 0 || last > pageCount)
        last = pageCount;
}

bool ReportDocument::WritePdf(const QString& path, int first, int last,
                              const Progress& progress) const {
    clampRange(PageCount(), first, last);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(AppError::PermissionDenied,
                       QStringLiteral("%1: %2").arg(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setPageSize(layout.pageSize);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(layout.caption);
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            throw AppError(AppError::PermissionDenied,
                           QStringLiteral("%1: the PDF could not be started").arg(path));
        }
        const QRectF target(0, 0, writer.width(), writer.height());
        for (int p = first; p <= last; ++p) {
            if (p > first)
                writer.newPage();
            PaintPageInto(p - 1, painter, target);
            if (progress && !progress(p - first + 1, last - first + 1)) {
                painter.end();
                file.cancelWriting();
                return false;
            }
        }
        painter.end();
    }
    if (!file.commit())
        throw AppError(AppError::PermissionDenied,
                       QStringLiteral("%1: %2").arg(path, file.errorString()));
    return true;
}
