#pragma once

#include <QStringList>
#include <memory>

class QLockFile;
class frmMain;
class DictionaryQtTranslator;

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
