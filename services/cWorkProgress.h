#pragma once

#include <QElapsedTimer>
#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

// What long work tells while it runs, so that the logic needs no window.
class WorkObserver {
public:
    virtual ~WorkObserver() = default;
    // A new stage of the work: its text, its total (0 when not known) and whether it may stop.
    virtual void Stage(const QString& text, qint64 total, bool cancellable) = 0;
    // `done` of the total; false once the user asked to stop.
    virtual bool Step(qint64 done) = 0;
};

// Long work in a modal progress dialog: the windows stay painted between chunks of the work,
// and the user's input reaches only the dialog, whose Cancel stops work that can stop
// without loss. Closed when it goes.
class cWorkProgress : public WorkObserver {
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
    bool Step(qint64 done) override;
    void Stage(const QString& text, qint64 total, bool cancellable) override;
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
