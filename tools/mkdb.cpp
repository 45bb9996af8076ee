// trevano-mkdb PATH: writes a fresh delivered database.
#include "AppError.h"
#include "DatabaseMaker.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "usage: trevano-mkdb PATH\n";
        return 2;
    }
    try {
        MakeDeliveredDatabase(app.arguments().at(1));
    } catch (const AppError& e) {
        err << "trevano-mkdb: " << e.description << "\n";
        return 1;
    }
    return 0;
}
