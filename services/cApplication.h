#pragma once

#include <QApplication>

// The program's application object. No exception may cross the event loop: what a slot,
// timer or event handler lets escape is handed to HandleError with its box, and the program
// carries on.
class cApplication : public QApplication {
    Q_OBJECT
public:
    cApplication(int& argc, char** argv);
    ~cApplication() override;
    bool notify(QObject* receiver, QEvent* event) override;
};

// The label HandleError gets for a failure that escaped to the event loop.
QString EscapedErrorLabel(const QObject* receiver);
