#include "mConnect.h"

#include "Boxes.h"
#include "cSerialLink.h"
#include "frmGoOnline.h"
#include "mGlobals.h"

ConnectRound ConnectLink(cSerialLink& link, int port, bool online, QWidget* parent,
                         const std::function<void(const ConnectRound&)>& shown) {
    const cLinkSequence sequence(link);
    if (link.IsOpen())
        link.ClosePort();
    const QString portText = QString::number(port);
    LinkYield();
    frmGoOnline dialog(parent);
    ConnectRound round;
    bool again = false;
    do {
        again = false;
        dialog.Online = online;
        dialog.MyComObject = &link;
        dialog.MyCommPort = portText;
        dialog.MyCommSettings = QStringLiteral("9600,n,8,1");
        dialog.exec();
        round.opened = dialog.OK;
        round.online = dialog.OK && dialog.Online;
        round.docked = dialog.OK && dialog.DockingDetected;
        online = round.online;
        shown(round);
        if (round.opened && !round.docked) {
            const int answer = gTranslator->IvMessageBox(
                Translate(QStringLiteral("Could not connect to the docking station.")) +
                    QStringLiteral("\r\n") +
                    Translate(QStringLiteral("Check hardware and settings and try again.")),
                QString(), IvBox::Information, IvBox::RetryIgnore, 0);
            again = answer != Boxes::AnswerIgnore;
        } else if (!round.opened) {
            gTranslator->IvMessageBox(
                Translate(QStringLiteral("Could not open the com port.")) + QStringLiteral("\r\n") +
                    Translate(QStringLiteral("Check settings and try again.")) +
                    QStringLiteral("\r\n") + Translate(QStringLiteral("Working in Offline Mode")),
                QString(), IvBox::Information, IvBox::Ok, 0);
        }
    } while (again);
    return round;
}
