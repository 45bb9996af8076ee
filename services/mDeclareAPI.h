#pragma once

#include <QString>

class QWidget;

// Blocks the one thread; no event is handled meanwhile.
void Sleep(int milliseconds);
// Keeps the window above all others (or releases it), in its place and size.
void FormOnTop(QWidget* window, bool onTop);
// The system's short date pattern (a Qt pattern), a two-digit year widened to four.
QString GetShortDateFormat();
// The starting folder of the backup and restore dialogs (DocumentsFolder).
QString GetMyDocumentsPath();
