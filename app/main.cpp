#include "ProductName.h"
#include "cApplication.h"
#include "mMain.h"

int main(int argc, char** argv) {
    cApplication app(argc, argv);
    QApplication::setApplicationName(ProductName());
    StartUp startUp;
    const int code = startUp.Main(QApplication::arguments());
    if (code >= 0)
        return code;
    return QApplication::exec();
}
