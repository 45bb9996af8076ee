#pragma once

#include <QString>

class QLineEdit;
class QWidget;

// A notice of the setup dialogs: the translated text with a warning icon and OK.
void Notice(const QString& translatedText);
// Puts the focus into the box with its whole text selected, for the user to type again.
void FocusAndSelect(QLineEdit* box);
// Moves the dialog to the main window's top left corner plus the offset, in pixels.
void PlaceOverMainWindow(QWidget* dialog, int dx, int dy);
// Moves the dialog so that its top left corner lies at the middle of the main window, less
// the offset, in pixels.
void PlaceAtMainWindowMiddle(QWidget* dialog, int dx, int dy);
