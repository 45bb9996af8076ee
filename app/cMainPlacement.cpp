#include "cMainPlacement.h"

#include "Settings.h"
#include "Twips.h"
#include "mErrorHandler.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int kDefaultWidthTwips = 9615;
constexpr int kDefaultHeightTwips = 6690;
constexpr int kMinWidthTwips = 8000;
constexpr int kMinHeightTwips = 6585;

const QString kSettings = QStringLiteral("Settings");

int twipsToPixels(double twips) {
    return qRound(twips / kTwipsPerPixel);
}

} // namespace

QSize cMainPlacement::MinimumSize() {
    return {twipsToPixels(kMinWidthTwips), twipsToPixels(kMinHeightTwips)};
}

void cMainPlacement::Restore(QWidget& window) {
    if (Settings::GetBool(kSettings, QStringLiteral("Maximized"), false)) {
        window.resize(twipsToPixels(kDefaultWidthTwips), twipsToPixels(kDefaultHeightTwips));
        window.setWindowState(Qt::WindowMaximized);
        return;
    }
    window.setWindowState(Qt::WindowNoState);
    const int left = twipsToPixels(Settings::GetDouble(kSettings, QStringLiteral("MainLeft"), 0));
    const int top = twipsToPixels(Settings::GetDouble(kSettings, QStringLiteral("MainTop"), 0));
    const int width = twipsToPixels(
        Settings::GetDouble(kSettings, QStringLiteral("MainWidth"), kDefaultWidthTwips));
    const int height = twipsToPixels(
        Settings::GetDouble(kSettings, QStringLiteral("MainHeight"), kDefaultHeightTwips));
    QRect frame(left, top, qMax(width, window.minimumWidth()),
                qMax(height, window.minimumHeight()));
    if (!QGuiApplication::screenAt(frame.center()) && !QGuiApplication::screenAt(frame.topLeft())) {
        if (QScreen* primary = QGuiApplication::primaryScreen())
            frame.moveTopLeft(primary->availableGeometry().topLeft());
    }
    window.move(frame.topLeft());
    window.resize(frame.size());
    savedFrameSize = frame.size();
}

void cMainPlacement::Shown(QWidget& window) {
    if (adjusted)
        return;
    adjusted = true;
    QWidget* w = &window;
    const QSize saved = savedFrameSize;
    QTimer::singleShot(0, w, [w, saved] {
        if (w->windowState() != Qt::WindowNoState || w->size() != saved)
            return;
        const QSize decoration = w->frameGeometry().size() - w->size();
        if (decoration.width() > 0 || decoration.height() > 0)
            w->resize(saved - decoration);
    });
}

void cMainPlacement::Save(const QWidget& window) {
    try {
        if (window.isMaximized()) {
            Settings::SaveSetting(kSettings, QStringLiteral("MainLeft"), QStringLiteral("0"));
            Settings::SaveSetting(kSettings, QStringLiteral("MainTop"), QStringLiteral("0"));
            Settings::SaveInt(kSettings, QStringLiteral("MainWidth"), kDefaultWidthTwips);
            Settings::SaveInt(kSettings, QStringLiteral("MainHeight"), kDefaultHeightTwips);
            Settings::SaveBool(kSettings, QStringLiteral("Maximized"), true);
        } else if (window.isMinimized()) {
            Settings::SaveBool(kSettings, QStringLiteral("Maximized"), false);
        } else {
            const QRect frame = window.frameGeometry();
            Settings::SaveInt(kSettings, QStringLiteral("MainLeft"),
                              qint64(frame.left()) * kTwipsPerPixel);
            Settings::SaveInt(kSettings, QStringLiteral("MainTop"),
                              qint64(frame.top()) * kTwipsPerPixel);
            Settings::SaveInt(kSettings, QStringLiteral("MainWidth"),
                              qint64(frame.width()) * kTwipsPerPixel);
            Settings::SaveInt(kSettings, QStringLiteral("MainHeight"),
                              qint64(frame.height()) * kTwipsPerPixel);
            Settings::SaveBool(kSettings, QStringLiteral("Maximized"), false);
        }
    } catch (const AppError& e) {
        HandleError(QStringLiteral("MDIForm_Unload of Form frmMain"), e, false);
    }
}
