#include "mGlobals.h"

qint16 gLanguage = -1;
std::unique_ptr<Translator> gTranslator;
QString gDBPath;
QString gConnectString;
std::unique_ptr<DbConnection> gConn;
bool gAutoSetTime = true;
std::array<QString, 5> gCompanyInfo;
QString gHelpFile;

QString Translate(const QString& text) {
    return gTranslator ? gTranslator->Translate(text) : text;
}

// The pictures live in this library; register them before any window asks for one.
static int initPictures() {
    Q_INIT_RESOURCE(pictures);
    return 0;
}
static const int picturesRegistered = initPictures();
