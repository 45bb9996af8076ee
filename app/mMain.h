#pragma once

#include <QStringList>
#include <memory>

#include <QString>

class QLockFile;
class frmMain;
class DictionaryQtTranslator;

// The single-instance check. Only a live copy of the program holding the lock refuses a start:
// a lock left by a crashed run, and an empty or garbled one (a power loss while it was
// written), is replaced. Failed: the lock cannot be written at all; `reason` says why.
enum class InstanceLock { Taken, Running, Failed };
InstanceLock TakeInstanceLock(QLockFile& lock, QString* reason);

// The program's start: translation, single instance, splash, database, login, main window.
class StartUp {
public:
    StartUp();
    ~StartUp();
    // Runs the start-up sequence. Returns the exit code when the program must end now,
    // or -1 when the main window is open and the event loop takes over.
    int Main(const QStringList& arguments);
    frmMain* MainWindow() const { return main.get(); }

private:
    void prepareTranslator();
    bool ADOTest(const QString& dbPath, const QString& password);
    bool ADOInit(const QString& dbPath, const QString& password);
    void CloseDown();

    std::unique_ptr<QLockFile> instanceLock;
    std::unique_ptr<DictionaryQtTranslator> formTranslator;
    std::unique_ptr<frmMain> main;
};
