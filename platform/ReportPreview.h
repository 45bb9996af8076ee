#pragma once

#include "ReportEngine.h"

#include <QAbstractScrollArea>
#include <QCache>
#include <QDialog>
#include <QImage>
#include <QPointer>

class QComboBox;
class QLabel;
class QProgressDialog;
class QPushButton;
class QToolButton;

// Progress of long work on a report (laying out, printing, writing a PDF): a modal progress
// box that appears after half a second, keeps the windows painted and offers Cancel. Until
// it shows, no user input is handled.
class ReportProgress {
public:
    ReportProgress(const QString& label, QWidget* parent);
    ~ReportProgress();
    ReportProgress(const ReportProgress&) = delete;
    ReportProgress& operator=(const ReportProgress&) = delete;
    ReportDocument::Progress Callback();

private:
    bool step(qint64 done, qint64 total);
    QString label;
    QPointer<QWidget> parent;
    QProgressDialog* dialog = nullptr;
};

// The pages of a report one under the other; only the pages in sight are painted, each when
// it comes into sight, and only a few are kept.
class ReportPageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Zoom: a percentage of the real size, or one of these.
    enum { WholePage = 0, PageWidth = -1 };

    explicit ReportPageView(const ReportDocument& document, QWidget* parent = nullptr);
    void SetZoom(int zoom);
    int Zoom() const { return zoom; }
    // The page (0-based) at the middle of the view.
    int CurrentPage() const;
    void ScrollToPage(int page);
    // The size of one page on screen, in pixels.
    QSize PageSizePixels() const;
    // Pages painted since the view was made (so a test can see they are painted on demand).
    int PagesRendered() const { return rendered; }

signals:
    void currentPageChanged(int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateScrollBars();
    QImage pageImage(int page);
    int pitch() const; // page height and the gap below it

    const ReportDocument& document;
    int zoom = PageWidth;
    QCache<int, QImage> cache;
    QSize cachedSize;
    int rendered = 0;
    int lastPage = -1;
};

// The modal print preview of a report: its pages, "Page n of N", zoom, Print (through the
// print dialog, page range honoured) and Save as PDF.
//
//     ReportPreview preview(report, parentWindow);     // report paginated already
//     preview.setGeometry(...);
//     preview.exec();
class ReportPreview : public QDialog {
    Q_OBJECT
public:
    explicit ReportPreview(const ReportDocument& document, QWidget* parent = nullptr);

    const ReportDocument& Document() const { return document; }
    int CurrentPage() const { return view->CurrentPage(); }
    void ShowPage(int page);
    void SetZoom(int zoom);
    ReportPageView* View() const { return view; }
    // "Page n of N" as shown.
    QString PageText() const;
    // Print and Save as PDF, as their buttons do; true when something was printed or saved.
    bool PrintReport();
    bool SaveAsPdf();

private:
    void updatePage(int page);
    void translate();

    const ReportDocument& document;
    ReportPageView* view;
    QPushButton* cmdPrint;
    QPushButton* cmdSavePdf;
    QToolButton* cmdFirst;
    QToolButton* cmdPrevious;
    QToolButton* cmdNext;
    QToolButton* cmdLast;
    QLabel* lblPage;
    QComboBox* cboZoom;
    QPushButton* cmdClose;
};
