// Dataset benchmark: a million rows of ten mixed columns, read through TQuery and through a bare
// forward-only QSqlQuery in the same run. Prints the ratios against their targets:
//   open + walk through TQuery      <= 1.5 x the bare walk reading every value
//   memory held per row by the store <= 2 x the raw size of the values
//   filtering by two conditions      <= 2 x the walk
#include "platform/FormatSettings.h"
#include "platform/db/Query.h"
#include "platform/db/Session.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QDateTime>
#include <QTemporaryDir>
#include <QVariant>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kRows = 1000000;
const char* const kSelect = "SELECT Id, Name, City, Qty, Price, OrderDate, Paid, Note, Code, Amount FROM Bench";
const char* const kFilter = "Qty > 50 AND City = 'Berlin'";

bool Generate(const QString& path)
{
    const QString conn = QStringLiteral("bench.generate");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        if (!db.open())
            return false;
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA journal_mode = OFF"));
        q.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        ok = q.exec(QStringLiteral("CREATE TABLE Bench (Id INTEGER PRIMARY KEY, Name VARCHAR(30), City VARCHAR(20), "
                                   "Qty INTEGER, Price REAL, OrderDate DATETIME, Paid BOOLEAN, Note TEXT, Code CHAR(8), "
                                   "Amount NUMERIC(12,2))"));
        const char* const names[] = {"Anna Becker", "Ben Costa", "Clara Dubois", "David Eriksson", "Eva Fischer",
                                     "Felix Garcia", "Grace Hoffmann", "Hugo Ito", "Ines Jansen", "Jonas Müller"};
        const char* const cities[] = {"Berlin", "Hamburg", "Vienna", "Zurich", "Paris", "Rome", "Madrid", "London"};
        const char* const notes[] = {"", "urgent", "call before delivery", "gift wrap please", "partial delivery ok",
                                     "second attempt", "customer will collect"};
        std::uint64_t s = 88172645463325252ull;
        auto next = [&s]() {
            s ^= s << 13;
            s ^= s >> 7;
            s ^= s << 17;
            return static_cast<std::uint32_t>(s >> 11);
        };
        db.transaction();
        q.prepare(QStringLiteral("INSERT INTO Bench VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        const QDateTime start(QDate(2019, 1, 1), QTime(0, 0));
        for (int i = 1; ok && i <= kRows; ++i) {
            q.bindValue(0, i);
            q.bindValue(1, QString::fromUtf8(names[next() % 10]));
            q.bindValue(2, QLatin1String(cities[next() % 8]));
            q.bindValue(3, static_cast<int>(next() % 100));
            q.bindValue(4, (next() % 100000) / 100.0);
            q.bindValue(5, start.addSecs(next() % (6 * 365 * 86400)).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
            q.bindValue(6, static_cast<int>(next() % 2));
            const char* note = notes[next() % 7];
            q.bindValue(7, *note ? QVariant(QLatin1String(note)) : QVariant(QMetaType(QMetaType::QString)));
            q.bindValue(8, QStringLiteral("C%1").arg(next() % 1000000, 7, 10, QLatin1Char('0')));
            q.bindValue(9, (next() % 1000000) / 100.0);
            ok = q.exec();
        }
        ok = ok && db.commit();
        if (!ok)
            std::fprintf(stderr, "generating failed: %s\n", qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(conn);
    return ok;
}

struct BareResult {
    double Ms = 0;
    long long Rows = 0;
    long long Touched = 0;
};

// The raw size of the values: eight bytes for each number and date, one for each Boolean, the
// UTF-8 bytes of each text; nulls count nothing.
double RawBytes(const QString& alias)
{
    QSqlQuery q(Session().Database(alias));
    q.exec(QStringLiteral(
        "SELECT 8 * (COUNT(Id) + COUNT(Qty) + COUNT(Price) + COUNT(OrderDate) + COUNT(Amount)) + COUNT(Paid) + "
        "SUM(LENGTH(CAST(Name AS BLOB))) + SUM(LENGTH(CAST(City AS BLOB))) + "
        "TOTAL(LENGTH(CAST(Note AS BLOB))) + SUM(LENGTH(CAST(Code AS BLOB))) FROM Bench"));
    return q.next() ? q.value(0).toDouble() : 0;
}

BareResult BareWalk(const QString& alias)
{
    BareResult r;
    QElapsedTimer timer;
    timer.start();
    QSqlQuery q(Session().Database(alias));
    q.setForwardOnly(true);
    q.exec(QLatin1String(kSelect));
    const int cols = q.record().count();
    while (q.next()) {
        for (int c = 0; c < cols; ++c) {
            const QVariant v = q.value(c);
            r.Touched += v.typeId();
        }
        ++r.Rows;
    }
    r.Ms = timer.nsecsElapsed() / 1e6;
    return r;
}

double WalkQuery(TQuery& q, bool readValues, double* checksum)
{
    QElapsedTimer timer;
    timer.start();
    if (!q.Open()) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(q.LastError()));
        std::exit(1);
    }
    double sum = 0;
    for (q.First(); !q.Eof(); q.Next()) {
        if (readValues)
            for (int i = 0; i < q.FieldCount(); ++i)
                sum += q.Fields(i)->Value().isValid();
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    if (checksum)
        *checksum = sum;
    return ms;
}

const char* Verdict(double ratio, double target)
{
    return ratio <= target ? "met" : "MISSED";
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    FormatSettings() = TFormatSettings::English();
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString path = dir.filePath(QStringLiteral("bench.sqlite"));
    std::printf("Generating %d rows of ten columns...\n", kRows);
    QElapsedTimer gen;
    gen.start();
    if (!Generate(path))
        return 1;
    std::printf("  done in %.1f s\n", gen.elapsed() / 1000.0);
    Session().SetWorkDir(dir.path());
    Session().AddStandardAlias(QStringLiteral("BENCH"), path);
    const QString alias = QStringLiteral("BENCH");

    // Warm the file cache, then take the best of five interleaved rounds: the machine may be busy.
    BareWalk(alias);
    double bareMs = 1e300, walkMs = 1e300, filterMs = 1e300;
    BareResult bare;
    std::size_t memory = 0;
    int filtered = 0;
    for (int round = 0; round < 5; ++round) {
        bare = BareWalk(alias);
        bareMs = std::min(bareMs, bare.Ms);

        TQuery q;
        q.SetDatabaseName(alias);
        q.SetSQL({QLatin1String(kSelect)});
        walkMs = std::min(walkMs, WalkQuery(q, false, nullptr));
        memory = q.MemoryUsed();
        if (q.RecordCount() != bare.Rows) {
            std::fprintf(stderr, "row counts differ: %d and %lld\n", q.RecordCount(), bare.Rows);
            return 1;
        }

        QElapsedTimer timer;
        timer.start();
        q.SetFilter(QLatin1String(kFilter));
        q.SetFiltered(true);
        int n = 0;
        for (q.First(); !q.Eof(); q.Next())
            ++n;
        filterMs = std::min(filterMs, timer.nsecsElapsed() / 1e6);
        filtered = n;
    }
    // For information: the walk when every field value is read as a QVariant as well.
    TQuery r;
    r.SetDatabaseName(alias);
    r.SetSQL({QLatin1String(kSelect)});
    double checksum = 0;
    const double readMs = WalkQuery(r, true, &checksum);
    r.Close();

    const double walkRatio = walkMs / bareMs;
    const double raw = RawBytes(alias);
    const double memRatio = static_cast<double>(memory) / raw;
    const double filterRatio = filterMs / walkMs;
    std::printf("\nrows                          %lld\n", bare.Rows);
    std::printf("bare QSqlQuery walk           %9.1f ms (every value read)\n", bareMs);
    std::printf("TQuery open + walk            %9.1f ms\n", walkMs);
    std::printf("TQuery open + walk + values   %9.1f ms (every field value read as well, for information)\n", readMs);
    std::printf("store memory                  %9.1f bytes per row\n", static_cast<double>(memory) / bare.Rows);
    std::printf("raw size of the values        %9.1f bytes per row\n", raw / bare.Rows);
    std::printf("filter '%s': %d rows in %.1f ms\n", kFilter, filtered, filterMs);
    std::printf("\nratio walk / bare      %.2f  (target <= 1.5)  %s\n", walkRatio, Verdict(walkRatio, 1.5));
    std::printf("ratio memory / raw     %.2f  (target <= 2.0)  %s\n", memRatio, Verdict(memRatio, 2.0));
    std::printf("ratio filter / walk    %.2f  (target <= 2.0)  %s\n", filterRatio, Verdict(filterRatio, 2.0));
    Session().CloseDatabases();
    return 0;
}
