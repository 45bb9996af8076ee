#pragma once

#include <QString>

class QWidget;
class Translator;

// The language choice ("frmSelectLanguage"): the languages of `translator`, the one in `chosen`
// selected. True when the user chose one, its number then left in `chosen`.
bool ChooseLanguage(const Translator& translator, const QString& text, int& chosen,
                    QWidget* parent = nullptr);
