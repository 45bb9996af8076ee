#include "ReportPreview.h"

#include "AppError.h"
#include "Boxes.h"
#include "DocumentsFolder.h"
#include "Translator.h"
#include "Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int kGap = 12;
constexpr int kCacheBytes = 48 * 1024 * 1024;

QString tr(const char* text) {
    return QCoreApplication::translate("ReportPreview", text);
}

struct ZoomChoice {
    const char* caption;
    int zoom;
};
const ZoomChoice kZooms[] = {{TR_TEXT("Whole Page"), ReportPageView::WholePage},
                             {TR_TEXT("Page Width"), ReportPageView::PageWidth},
                             {nullptr, 50},
                             {nullptr, 75},
                             {nullptr, 100},
                             {nullptr, 150},
                             {nullptr, 200}};

void showFailure(const QString& text, const AppError& error) {
    Boxes::Show(QString(), text + QStringLiteral("\n\n") + error.description,
                Boxes::Icon::Critical);
}

} // namespace

namespace {

WorkProgress::Look reportLook(const QString& label) {
    WorkProgress::Look look;
    look.text = label;
    look.cancelText = tr(TR_TEXT("Cancel"));
    look.showAfterMs = 500;
    return look;
}

} // namespace

ReportProgress::ReportProgress(const QString& label, QWidget* parent)
    : WorkProgress(reportLook(label), parent) {}

ReportPageView::ReportPageView(const ReportDocument& doc, QWidget* parent)
    : QAbstractScrollArea(parent), document(doc), cache(kCacheBytes) {
    setObjectName(QStringLiteral("ReportPageView"));
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

QSize ReportPageView::PageSizePixels() const {
    const QSizeF twips = document.PageSizeTwips();
    const QSizeF real = twips / kTwipsPerPixel;
    double scale = 1.0;
    const QSize room = viewport()->size() - QSize(2 * kGap, 2 * kGap);
    if (zoom == PageWidth)
        scale = qMax(1, room.width()) / real.width();
    else if (zoom == WholePage)
        scale = qMin(qMax(1, room.width()) / real.width(), qMax(1, room.height()) / real.height());
    else
        scale = zoom / 100.0;
    return QSize(qMax(16, qRound(real.width() * scale)), qMax(16, qRound(real.height() * scale)));
}

int ReportPageView::pitch() const {
    return PageSizePixels().height() + kGap;
}

void ReportPageView::SetZoom(int value) {
    const int page = CurrentPage();
    zoom = value;
    cache.clear();
    updateScrollBars();
    ScrollToPage(page);
    viewport()->update();
}

int ReportPageView::CurrentPage() const {
    if (document.PageCount() == 0)
        return 0;
    const qint64 middle = qint64(verticalScrollBar()->value()) + viewport()->height() / 2;
    return int(qBound<qint64>(0, middle / pitch(), qint64(document.PageCount()) - 1));
}

void ReportPageView::ScrollToPage(int page) {
    page = qBound(0, page, qMax(0, document.PageCount() - 1));
    verticalScrollBar()->setValue(int(qMin<qint64>(qint64(page) * pitch(), INT_MAX)));
    const int current = CurrentPage();
    if (current != lastPage) {
        lastPage = current;
        emit currentPageChanged(current);
    }
}

void ReportPageView::updateScrollBars() {
    const QSize page = PageSizePixels();
    const qint64 height = qint64(document.PageCount()) * pitch() + kGap;
    verticalScrollBar()->setRange(
        0, int(qBound<qint64>(0, height - viewport()->height(), qint64(INT_MAX))));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(qMax(1, page.height() / 20));
    horizontalScrollBar()->setRange(0, qMax(0, page.width() + 2 * kGap - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(qMax(1, page.width() / 20));
}

void ReportPageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (zoom <= 0)
        cache.clear();
    updateScrollBars();
}

void ReportPageView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Home) {
        ScrollToPage(0);
    } else if (event->key() == Qt::Key_End) {
        ScrollToPage(document.PageCount() - 1);
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void ReportPageView::scrollContentsBy(int, int) {
    viewport()->update();
    const int current = CurrentPage();
    if (current != lastPage) {
        lastPage = current;
        emit currentPageChanged(current);
    }
}

QImage ReportPageView::pageImage(int page) {
    const QSize size = PageSizePixels();
    if (size != cachedSize) {
        cache.clear();
        cachedSize = size;
    }
    if (QImage* hit = cache.object(page))
        return *hit;
    const qreal ratio = devicePixelRatioF();
    auto* image = new QImage(size * ratio, QImage::Format_RGB32);
    image->setDevicePixelRatio(ratio);
    image->fill(Qt::white);
    {
        QPainter painter(image);
        try {
            document.PaintPageInto(page, painter, QRectF(QPointF(0, 0), QSizeF(size)));
        } catch (const AppError& e) {
            // The rows could not be read again (the database went away): say so on the page.
            painter.setPen(Qt::red);
            painter.drawText(QRectF(QPointF(0, 0), QSizeF(size)),
                             Qt::AlignCenter | Qt::TextWordWrap, e.description);
        }
    }
    ++rendered;
    const QImage copy = *image;
    cache.insert(page, image, int(qMin<qint64>(image->sizeInBytes(), INT_MAX)));
    return copy;
}

void ReportPageView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const int count = document.PageCount();
    if (count == 0)
        return;
    const QSize size = PageSizePixels();
    const int step = pitch();
    const qint64 top = verticalScrollBar()->value();
    const int left =
        qMax(kGap, (viewport()->width() - size.width()) / 2) - horizontalScrollBar()->value();
    const int first = int(qBound<qint64>(0, (top - kGap) / step, qint64(count) - 1));
    for (int page = first; page < count; ++page) {
        const qint64 y = qint64(page) * step + kGap - top;
        if (y > event->rect().bottom())
            break;
        const QRect target(left, int(y), size.width(), size.height());
        if (!target.intersects(event->rect()))
            continue;
        painter.fillRect(target.translated(3, 3), QColor(0, 0, 0, 60));
        painter.drawImage(target.topLeft(), pageImage(page));
    }
}

ReportPreview::ReportPreview(const ReportDocument& doc, QWidget* parent)
    : QDialog(parent), document(doc) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(doc.Title());
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    cmdPrint = new QPushButton(this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdSavePdf = new QPushButton(this);
    cmdSavePdf->setObjectName(QStringLiteral("cmdSavePdf"));
    auto pageButton = [this](const char* name, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(style()->standardIcon(icon));
        b->setAutoRaise(true);
        return b;
    };
    cmdFirst = pageButton("cmdFirst", QStyle::SP_MediaSkipBackward);
    cmdPrevious = pageButton("cmdPrevious", QStyle::SP_MediaSeekBackward);
    cmdNext = pageButton("cmdNext", QStyle::SP_MediaSeekForward);
    cmdLast = pageButton("cmdLast", QStyle::SP_MediaSkipForward);
    lblPage = new QLabel(this);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    cboZoom = new QComboBox(this);
    cboZoom->setObjectName(QStringLiteral("cboZoom"));
    cmdClose = new QPushButton(this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    view = new ReportPageView(doc, this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(cmdPrint);
    bar->addWidget(cmdSavePdf);
    bar->addSpacing(12);
    bar->addWidget(cmdFirst);
    bar->addWidget(cmdPrevious);
    bar->addWidget(lblPage);
    bar->addWidget(cmdNext);
    bar->addWidget(cmdLast);
    bar->addSpacing(12);
    bar->addWidget(cboZoom);
    bar->addStretch(1);
    bar->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(view, 1);

    translate();
    cboZoom->setCurrentIndex(1);
    connect(cmdPrint, &QPushButton::clicked, this, [this] { PrintReport(); });
    connect(cmdSavePdf, &QPushButton::clicked, this, [this] { SaveAsPdf(); });
    connect(cmdFirst, &QToolButton::clicked, this, [this] { ShowPage(0); });
    connect(cmdPrevious, &QToolButton::clicked, this, [this] { ShowPage(CurrentPage() - 1); });
    connect(cmdNext, &QToolButton::clicked, this, [this] { ShowPage(CurrentPage() + 1); });
    connect(cmdLast, &QToolButton::clicked, this, [this] { ShowPage(document.PageCount() - 1); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(cboZoom, qOverload<int>(&QComboBox::activated), this,
            [this](int i) { view->SetZoom(cboZoom->itemData(i).toInt()); });
    connect(view, &ReportPageView::currentPageChanged, this, &ReportPreview::updatePage);
    updatePage(0);
    view->setFocus();
}

void ReportPreview::translate() {
    cmdPrint->setText(tr(TR_TEXT("&Print...")));
    cmdSavePdf->setText(tr(TR_TEXT("Save as P&DF...")));
    cmdClose->setText(tr(TR_TEXT("&Close")));
    for (QPushButton* b : {cmdPrint, cmdSavePdf, cmdClose})
        b->setAccessibleName(QString(b->text()).remove(QLatin1Char('&')));
    // The arrows show only an icon: a screen reader needs their names.
    const std::pair<QToolButton*, const char*> arrows[] = {{cmdFirst, TR_TEXT("First Page")},
                                                           {cmdPrevious, TR_TEXT("Previous Page")},
                                                           {cmdNext, TR_TEXT("Next Page")},
                                                           {cmdLast, TR_TEXT("Last Page")}};
    for (const auto& [button, name] : arrows) {
        button->setToolTip(tr(name));
        button->setAccessibleName(tr(name));
    }
    cboZoom->clear();
    for (const ZoomChoice& z : kZooms)
        cboZoom->addItem(z.caption ? tr(z.caption) : QStringLiteral("%1 %").arg(z.zoom), z.zoom);
}

QString ReportPreview::PageText() const {
    return lblPage->text();
}

void ReportPreview::updatePage(int page) {
    lblPage->setText(
        Translator::FormatStr(tr(TR_TEXT("Page %0:s of %1:s")),
                              {QString::number(page + 1), QString::number(document.PageCount())}));
    cmdFirst->setEnabled(page > 0);
    cmdPrevious->setEnabled(page > 0);
    cmdNext->setEnabled(page + 1 < document.PageCount());
    cmdLast->setEnabled(page + 1 < document.PageCount());
}

void ReportPreview::ShowPage(int page) {
    view->ScrollToPage(page);
    updatePage(view->CurrentPage());
}

void ReportPreview::SetZoom(int zoom) {
    const int i = cboZoom->findData(zoom);
    if (i >= 0)
        cboZoom->setCurrentIndex(i);
    view->SetZoom(zoom);
}

bool ReportPreview::PrintReport() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(document.Layout().pageSize);
    printer.setDocName(document.Title());
    Boxes::PrintDialog dialog;
    dialog.title = tr(TR_TEXT("Print"));
    dialog.maxPage = document.PageCount();
    dialog.currentPage = CurrentPage() + 1;
    if (!Boxes::ChoosePrinter(printer, dialog))
        return false;
    int first = 1;
    int last = document.PageCount();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = qBound(1, printer.fromPage(), document.PageCount());
        last = qBound(first, printer.toPage() > 0 ? printer.toPage() : last, document.PageCount());
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        first = last = CurrentPage() + 1;
    }
    try {
        ReportProgress progress(tr(TR_TEXT("Printing...")), this);
        return document.Print(printer, first, last, progress.Callback());
    } catch (const AppError& e) {
        showFailure(tr(TR_TEXT("The report could not be printed.")), e);
        return false;
    }
}

bool ReportPreview::SaveAsPdf() {
    Boxes::FileDialog dialog;
    dialog.save = true;
    dialog.title = tr(TR_TEXT("Save as PDF"));
    dialog.folder = DocumentsFolder();
    dialog.filter = tr(TR_TEXT("PDF Files (*.pdf)"));
    dialog.defaultSuffix = QStringLiteral("pdf");
    QString name = document.Title();
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("-"));
    dialog.fileName = QDir(dialog.folder).filePath(name.trimmed() + QStringLiteral(".pdf"));
    QString path = Boxes::GetFileName(dialog);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    if (QFileInfo::exists(path)) {
        Boxes::Box replace;
        replace.text = Translator::FormatStr(
            tr(TR_TEXT("The file %0:s already exists. Do you want to replace it?")), {path});
        replace.icon = Boxes::Icon::Question;
        replace.buttons = Boxes::Buttons::YesNo;
        replace.buttonTexts = QStringList{tr(TR_TEXT("&Yes")), tr(TR_TEXT("&No"))};
        if (Boxes::Show(replace) != Boxes::AnswerYes)
            return false;
    }
    try {
        ReportProgress progress(tr(TR_TEXT("Saving as PDF...")), this);
        return document.WritePdf(path, 0, 0, progress.Callback());
    } catch (const AppError& e) {
        showFailure(tr(TR_TEXT("The report could not be saved.")), e);
        return false;
    }
}
