#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QLineEdit;
class QWidget;

// A notice of the setup dialogs: the translated text with a warning icon and OK.
void Notice(const QString& translatedText);
// Puts the focus into the box with its whole text selected, for the user to type again.
void FocusAndSelect(QLineEdit* box);
// The name rules of the button and reader dialogs on the box's text (see CheckName): a name
// refused is told to the user and the box is selected for typing again; false then.
bool AcceptItemName(QLineEdit* box, const QStringList& existingNames,
                    const std::optional<QString>& startingName = std::nullopt);
// Hides the widget but keeps its place, so that the window does not jump when it shows.
void HideKeepingPlace(QWidget* widget);
// Moves the dialog to the main window's top left corner plus the offset, in pixels.
void PlaceOverMainWindow(QWidget* dialog, int dx, int dy);
// Moves the dialog so that its top left corner lies at the middle of the main window, less
// the offset, in pixels.
void PlaceAtMainWindowMiddle(QWidget* dialog, int dx, int dy);
