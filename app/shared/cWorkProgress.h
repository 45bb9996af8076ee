#pragma once

#include <QElapsedTimer>
#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

// Long work in a modal progress dialog: the windows stay painted between chunks of the work,
// and the user's input reaches only the dialog, whose Cancel stops work that can stop
// without loss. Closed when it goes.
class cWorkProgress {
public:
    cWorkProgress(const QString& title, QWidget* parent = nullptr);
    ~cWorkProgress();
    cWorkProgress(const cWorkProgress&) = delete;
    cWorkProgress& operator=(const cWorkProgress&) = delete;

    void SetText(const QString& text);
    // A total of 0 shows work whose end is not known.
    void SetTotal(qint64 total);
    // Whether Cancel may stop the work from here on.
    void SetCancellable(bool cancellable);

    // Shows `done` of the total and lets the windows paint (at most every 50 ms, and always
    // on the first call). Returns false once the user pressed Cancel.
    bool Step(qint64 done);
    // Lets the windows paint while the work cannot show how far it is.
    bool KeepAlive() { return Step(lastDone); }
    bool Cancelled() const { return cancelled; }

private:
    void update(bool force);

    std::unique_ptr<QProgressDialog> dialog;
    QElapsedTimer sinceUpdate;
    qint64 total = 0;
    qint64 lastDone = 0;
    bool cancellable = true;
    bool cancelled = false;
    bool updated = false;
};
