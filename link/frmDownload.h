#pragma once

#include "cDownloadSession.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class cSerialLink;

// The "Status" window of a download: shows what its download session does (the request, the
// packets, the decoding) at the serial link's timings, and ends it with Cancel.
class frmDownload : public QDialog {
    Q_OBJECT
public:
    explicit frmDownload(cSerialLink& link, QWidget* parent = nullptr);
    // Over any line, at the given timings.
    frmDownload(cLinkLine& line, const cLinkTimings& timings, QWidget* parent = nullptr);

    bool OK() const { return session.OK(); }
    QString PipeID() const { return session.PipeID(); }
    const colRawButtons& Buttons() const { return session.Buttons(); }
    bool GetIDMode() const { return session.GetIDMode(); }
    void setGetIDMode(bool value) { session.setGetIDMode(value); }
    void setFirmwareVersion(bool value) { session.setFirmwareVersion(value); }
    QString tFirmware() const { return session.tFirmware(); }

protected:
    void done(int result) override;

private:
    void Fail(const QString& text);
    void Succeed();

    cDownloadSession session;
    QLabel* lblMsgs;
    QLabel* lblStatic;
    QLabel* lblPipeID;
    QLabel* lblWarning;
    QProgressBar* prgOnline;
    QLabel* lblProgress;
    QPushButton* cmdCancel;
};
