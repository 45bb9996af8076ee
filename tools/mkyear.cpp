// trevano-mkyear PATH [--readers N] [--per-day N] [--days N] [--seed N] [--first-day YYYY-MM-DD]
// Writes a database of a large site with a year of touches (by default 20 readers x 500
// touches a day x 365 days) for benchmarks and for trying the program at scale.
#include "AppError.h"
#include "YearDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

namespace {

bool readNumber(const QString& text, qint64 low, qint64 high, qint64* value) {
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok && *value >= low && *value <= high;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QString usage = QStringLiteral(
        "usage: trevano-mkyear PATH [--readers N] [--per-day N] [--days N] [--seed N] "
        "[--first-day YYYY-MM-DD]\n");
    const QStringList args = app.arguments().mid(1);
    YearDatabaseOptions options;
    QString path;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (!a.startsWith(QLatin1String("--"))) {
            if (!path.isEmpty()) {
                err << usage;
                return 2;
            }
            path = a;
            continue;
        }
        if (i + 1 >= args.size()) {
            err << usage;
            return 2;
        }
        const QString value = args.at(++i);
        qint64 n = 0;
        bool ok = true;
        if (a == QLatin1String("--readers") && (ok = readNumber(value, 1, 0xFFFF, &n)))
            options.readers = int(n);
        else if (a == QLatin1String("--per-day") && (ok = readNumber(value, 1, 1440, &n)))
            options.touchesPerDay = int(n);
        else if (a == QLatin1String("--days") && (ok = readNumber(value, 0, 100000, &n)))
            options.days = int(n);
        else if (a == QLatin1String("--seed") && (ok = readNumber(value, 0, LLONG_MAX, &n)))
            options.seed = quint64(n);
        else if (a == QLatin1String("--first-day"))
            ok = (options.firstDay = QDate::fromString(value, Qt::ISODate)).isValid();
        else
            ok = false;
        if (!ok) {
            err << "trevano-mkyear: bad value for " << a << ": " << value << "\n" << usage;
            return 2;
        }
    }
    if (path.isEmpty()) {
        err << usage;
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    try {
        const YearDatabaseInfo info = MakeYearDatabase(path, options, [&](int days) {
            if (days % 30 == 0 || days == options.days) {
                err << "\r" << days << " of " << options.days << " days";
                err.flush();
            }
        });
        err << "\n";
        err.flush();
        QTextStream(stdout) << path << ": " << info.touches << " touches from "
                            << info.firstDay.toString(Qt::ISODate) << " to "
                            << info.lastDay.toString(Qt::ISODate) << ", "
                            << QFileInfo(path).size() / (1024 * 1024) << " MB, "
                            << clock.elapsed() / 1000.0 << " s\n";
    } catch (const AppError& e) {
        err << "\ntrevano-mkyear: " << e.description << "\n";
        return 1;
    }
    return 0;
}
