#include "frmMdiDownload.h"

#include "Boxes.h"
#include "BusyPointer.h"
#include "ListColumns.h"
#include "WrappedRows.h"
#include "cCommandExchange.h"
#include "cHeldLine.h"
#include "cLinkHost.h"
#include "cSerialLink.h"
#include "frmDownload.h"
#include "mDeclareAPI.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mQuietLine.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

struct Column {
    const char* header;
    Qt::Alignment alignment;
    int units;
};
const Column kColumns[] = {
    {TR_TEXT("Number"), Qt::AlignLeft, 10},      {TR_TEXT("Date"), Qt::AlignHCenter, 15},
    {TR_TEXT("Time"), Qt::AlignHCenter, 10},     {TR_TEXT("ID"), Qt::AlignHCenter, 10},
    {TR_TEXT("Button Name"), Qt::AlignLeft, 20}, {TR_TEXT("Group Name"), Qt::AlignLeft, 35}};
constexpr int kButtonNameColumn = 4;
constexpr int kGroupNameColumn = 5;
// A reader counts its records in 16 bits: a download has at most five digits of touches.
constexpr int kNumberDigits = 5;

} // namespace

frmMdiDownload::frmMdiDownload(cLinkHost& linkHost, QWidget* parent)
    : Page(parent), host(linkHost) {
    setObjectName(QStringLiteral("frmMdiDownload"));
    auto* layout = new QGridLayout(this);
    cmdOnline_0 = new QPushButton(this);
    cmdOnline_0->setObjectName(QStringLiteral("cmdOnline_0"));
    cmdOnline_0->setIcon(QIcon(QStringLiteral(":/pictures/download.png")));
    cmdOnline_1 = new QPushButton(this);
    cmdOnline_1->setObjectName(QStringLiteral("cmdOnline_1"));
    lvwDownload = new QTreeWidget(this);
    lvwDownload->setObjectName(QStringLiteral("lvwDownload"));
    lvwDownload->setRootIsDecorated(false);
    lvwDownload->setAlternatingRowColors(true);
    lvwDownload->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Where two names at their limit do not fit beside the figures, they take a second line.
    WrapRows(lvwDownload);
    lblMsg = new QLabel(this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    QFont bold = lblMsg->font();
    bold.setBold(true);
    lblMsg->setFont(bold);
    lblRptDate = new QLabel(this);
    lblRptDate->setObjectName(QStringLiteral("lblRptDate"));
    layout->addWidget(cmdOnline_0, 0, 0);
    layout->addWidget(cmdOnline_1, 0, 1);
    layout->setColumnStretch(2, 1);
    layout->addWidget(lblMsg, 1, 0, 1, 3);
    layout->addWidget(lvwDownload, 2, 0, 1, 3);
    layout->addWidget(lblRptDate, 3, 0, 1, 3);
    connect(cmdOnline_0, &QPushButton::clicked, this, &frmMdiDownload::DownloadReader);
    connect(cmdOnline_1, &QPushButton::clicked, this, [this] { EraseRequest(false); });
    SetupColumns();
    lvwDownload->installEventFilter(this);
    SizeColumns();
    busy = false;
    Translate();
}

void frmMdiDownload::Translate() {
    cmdOnline_0->setText(::Translate(QStringLiteral("&Download Data")));
    cmdOnline_1->setText(::Translate(QStringLiteral("&Erase Reader")));
    QStringList headers;
    for (const Column& c : kColumns)
        headers << ::Translate(QLatin1String(c.header));
    lvwDownload->setHeaderLabels(headers);
}

void frmMdiDownload::SetupColumns() {
    lblMsg->hide();
    lvwDownload->clear();
    lvwDownload->setColumnCount(int(std::size(kColumns)));
    for (int i = 0; i < int(std::size(kColumns)); ++i)
        lvwDownload->headerItem()->setTextAlignment(i, kColumns[i].alignment);
}

void frmMdiDownload::SizeColumns() {
    QVector<int> units;
    for (const Column& c : kColumns)
        units << c.units;
    ShareColumns(lvwDownload, units, {{kButtonNameColumn, false}, {kGroupNameColumn, false}},
                 {{0, DigitTexts(kNumberDigits, false)},
                  {1, DateTexts(GetShortDateFormat())},
                  {2, TimeTexts(QStringLiteral("HH:mm"))},
                  {3, DigitTexts(kButtonCodeDigits, true)}});
}

bool frmMdiDownload::eventFilter(QObject* watched, QEvent* event) {
    // The columns share the list's own width, known only once the list is laid out.
    if (watched == lvwDownload && event->type() == QEvent::Resize)
        SizeColumns();
    return Page::eventFilter(watched, event);
}

void frmMdiDownload::setControlsEnabled(bool enabled) {
    host.SetToolbarEnabled(enabled);
    cmdOnline_0->setEnabled(enabled);
    cmdOnline_1->setEnabled(enabled);
}

void frmMdiDownload::DownloadReader() {
    const cLinkSequence sequence(host.Link());
    lblMsg->hide();
    lvwDownload->clear();
    lvwDownload->repaint();
    busy = true;
    BusyPointer hourglass;
    setControlsEnabled(false);
    try {
        // The erase and the clock go only to the port and reader that were downloaded.
        cHeldLine downloaded = HoldLink(host.Link());
        bool ok = false;
        colRawButtons touches;
        QString pipeId;
        {
            frmDownload download(host.Link(), this);
            download.setFirmwareVersion(false);
            download.setGetIDMode(false);
            download.exec();
            ok = download.OK();
            if (ok) {
                touches = download.Buttons();
                pipeId = download.PipeID();
            }
        }
        repaint();
        LinkYield();
        if (!ok) {
            lblMsg->setText(::Translate(QStringLiteral("Download Failed")));
            lblMsg->show();
        } else {
            const QString readings =
                ::Translate(QStringLiteral("Download Successful")) + QStringLiteral("\r\n") +
                ::Translate(QStringLiteral("Data Readings = ")) + QString::number(touches.Count());
            lblMsg->setText(readings);
            lblMsg->show();
            lvwDownload->clear();
            bool stored = true;
            if (touches.Count() == 0) {
                lblMsg->setText(::Translate(QStringLiteral("The Reader was empty")));
            } else {
                try {
                    // Every touch is stored, or none: the reader is erased only after the commit.
                    const int alreadyStored =
                        StoreDownload(touches, pipeId, QDateTime::currentDateTime());
                    if (alreadyStored > 0)
                        lblMsg->setText(readings + QLatin1Char(' ') +
                                        Translator::FormatStr(
                                            ::Translate(QStringLiteral("(%0:s already stored)")),
                                            {QString::number(alreadyStored)}));
                } catch (const AppError& e) {
                    stored = false;
                    HandleError(QStringLiteral("DownloadReader of Form frmMdiDownload"), e, false);
                    lblMsg->setText(
                        ::Translate(QStringLiteral("Download Failed")) + QStringLiteral("\r\n") +
                        ::Translate(QStringLiteral(
                            "The touches could not be stored. The reader keeps them.")));
                    gTranslator->IvMessageBox(
                        ::Translate(QStringLiteral(
                            "The touches could not be stored. The reader keeps them.")) +
                            QStringLiteral("\r\n") + e.description,
                        QString(), IvBox::Warning, IvBox::Ok, 0);
                }
                if (stored) {
                    int n = 0;
                    for (const cRawButton& touch : touches) {
                        auto* row = new QTreeWidgetItem(lvwDownload);
                        row->setText(0, QString::number(++n));
                        row->setText(1, touch.DateAndTime.date().toString(GetShortDateFormat()));
                        row->setText(2, touch.DateAndTime.time().toString(QStringLiteral("HH:mm")));
                        row->setText(3, touch.ButtonCode());
                        row->setText(4, touch.Name);
                        row->setText(5, touch.GroupName);
                        for (int c = 0; c < int(std::size(kColumns)); ++c)
                            row->setTextAlignment(c, kColumns[c].alignment);
                    }
                }
            }
            if (stored) {
                LinkPause(host.Link().Timings().AfterStoreMs);
                LinkYield();
                const LinkResult erased = EraseOn(downloaded, true);
                lblMsg->setText(lblMsg->text() + QStringLiteral("\r\n") +
                                (erased == LinkResult::Done
                                     ? ::Translate(QStringLiteral("Reader Memory erased"))
                                     : ::Translate(QStringLiteral("Reader Memory NOT erased!"))));
                // A lost line has been said once; the clock could not reach the reader either.
                if (gAutoSetTime && erased != LinkResult::LineLost)
                    UpdateReaderClock(downloaded);
            }
        }
        lvwDownload->setFocus();
        if (lvwDownload->topLevelItemCount() > 0) {
            QTreeWidgetItem* last = lvwDownload->topLevelItem(lvwDownload->topLevelItemCount() - 1);
            lvwDownload->scrollToItem(last);
            lvwDownload->setCurrentItem(last);
        }
    } catch (const AppError& e) {
        HandleError(QStringLiteral("DownloadReader of Form frmMdiDownload"), e, false);
    }
    busy = false;
    hourglass.Release();
    setControlsEnabled(true);
}

bool frmMdiDownload::EraseRequest(bool bIgnoreConfirm) {
    const cLinkSequence sequence(host.Link());
    cHeldLine line = HoldLink(host.Link());
    return EraseOn(line, bIgnoreConfirm) == LinkResult::Done;
}

LinkResult frmMdiDownload::EraseOn(cLinkLine& line, bool bIgnoreConfirm) {
    if (!bIgnoreConfirm &&
        gTranslator->IvMessageBox(QStringLiteral("Are you sure you want to clear the reader? "),
                                  QString(), IvBox::Question, IvBox::YesNo, 0) == Boxes::AnswerNo)
        return LinkResult::Cancelled;
    cCommandExchange exchange(line, host.Link().Timings());
    const LinkResult result = EraseWithRetries(
        exchange,
        [] {
            return gTranslator->IvMessageBox(QStringLiteral("Reader Erase Failed.  Try again?"),
                                             QString(), IvBox::Warning, IvBox::YesNo,
                                             0) != Boxes::AnswerNo;
        },
        LineBusyWaiting(exchange.Timings(), this));
    if (result != LinkResult::Done) {
        if (result == LinkResult::LineLost)
            SayLineLost();
        busy = false;
        return result;
    }
    if (!bIgnoreConfirm) {
        lvwDownload->clear();
        host.SetStatusText(2, ::Translate(QStringLiteral("Reader Erased")));
        gTranslator->IvMessageBox(QStringLiteral("Reader Erased"), QString(), IvBox::Information,
                                  IvBox::Ok, 0);
    }
    busy = false;
    return LinkResult::Done;
}

bool frmMdiDownload::EraseReader() {
    cHeldLine line = HoldLink(host.Link());
    cCommandExchange exchange(line, host.Link().Timings());
    return exchange.Erase(LineBusyWaiting(exchange.Timings(), this)) == LinkResult::Done;
}

void frmMdiDownload::UpdateReaderClock(cLinkLine& line) {
    cCommandExchange exchange(line, host.Link().Timings());
    // One reading of the clock, so hour and minute always belong together.
    const LinkResult result =
        exchange.SetClock(QDateTime::currentDateTime(), LineBusyWaiting(exchange.Timings(), this));
    if (result == LinkResult::LineLost)
        SayLineLost();
    else if (result != LinkResult::Done)
        gTranslator->IvMessageBox(QStringLiteral("Reader Clock update failed.  Please try again."),
                                  QString(), IvBox::Warning, IvBox::Ok, 0);
}

void frmMdiDownload::SayLineLost() {
    gTranslator->IvMessageBox(LinkLostText(), QString(), IvBox::Warning, IvBox::Ok, 0);
}
