#pragma once

#include <QWidget>

class QTextBrowser;

// The help window: shows an HTML help file at its contents page; not modal.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);
    // Throws AppError when the file cannot be read.
    void ShowContents(const QString& helpFile);
    QTextBrowser* browser() const { return view; }

private:
    QTextBrowser* view;
};
