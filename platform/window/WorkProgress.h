#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <functional>

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

// The program's one progress dialog for long work: modal, the windows stay painted between
// chunks of the work (at most every 50 ms, and always on the first step), and its Cancel stops
// work that can stop without loss. Until it shows, no user input is handled, so that a click
// elsewhere cannot start other work. Closed when it goes.
class WorkProgress : public WorkObserver {
public:
    struct Look {
        QString title;
        QString text;                                           // the first stage's text
        QString cancelText;                                     // already translated
        QString objectName = QStringLiteral("dlgWorkProgress"); // of the dialog
        int showAfterMs = 0; // shown at once, or only when the work takes longer
    };
    WorkProgress(const Look& look, QWidget* parent = nullptr);
    ~WorkProgress() override;
    WorkProgress(const WorkProgress&) = delete;
    WorkProgress& operator=(const WorkProgress&) = delete;

    void SetText(const QString& text);
    // A total of 0 shows work whose end is not known.
    void SetTotal(qint64 total);
    // Whether Cancel may stop the work from here on.
    void SetCancellable(bool cancellable);

    void Stage(const QString& text, qint64 total, bool cancellable) override;
    // Shows `done` of the total and lets the windows paint. False once the user pressed Cancel.
    bool Step(qint64 done) override;
    // Lets the windows paint while the work cannot show how far it is.
    bool KeepAlive() { return Step(lastDone); }
    bool Cancelled() const { return cancelled; }
    // The same for work that tells `done` of `total` at each call (the report engine).
    std::function<bool(qint64 done, qint64 total)> Callback();

private:
    void update(bool force);

    // Owned by its parent widget when it has one (the parent may go first: the pointer then
    // knows it), else by this object; deleted here when this object ends first.
    QPointer<QProgressDialog> dialog;
    QElapsedTimer sinceUpdate;
    qint64 total = 0;
    qint64 lastDone = 0;
    bool cancellable = true;
    bool cancelled = false;
    bool updated = false;
};
