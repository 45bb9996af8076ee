#include "HelpViewer.h"

#include "AppError.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpViewer"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view = new QTextBrowser(this);
    view->setObjectName(QStringLiteral("txtHelp"));
    view->setOpenExternalLinks(false);
    layout->addWidget(view);
    resize(720, 560);
}

void HelpViewer::ShowContents(const QString& helpFile) {
    const QFileInfo info(helpFile);
    if (!info.isFile() || !info.isReadable())
        throw AppError(AppError::FileNotFound,
                       QStringLiteral("Help file not found: %1").arg(helpFile));
    view->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    setWindowTitle(view->documentTitle());
    show();
    raise();
    activateWindow();
}
