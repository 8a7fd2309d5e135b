#include "platform/db/Session.h"
#include "demo/DemoDatabase.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlError>
#include <algorithm>

namespace {
const char* const kAliasFile = "Kivo.aliases";
const char* const kDemoFile = "KivoDemo.sqlite";
const char* const kDemoAlias = "DEMO";

QString DriverOf(const QString& driver)
{
    const QString d = driver.trimmed().toUpper();
    if (d == QLatin1String("SQLITE") || d == QLatin1String("SQLITE3") || d == QLatin1String("QSQLITE"))
        return QStringLiteral("SQLITE");
    if (d == QLatin1String("POSTGRES") || d == QLatin1String("POSTGRESQL") || d == QLatin1String("QPSQL") ||
        d == QLatin1String("PSQL"))
        return QStringLiteral("POSTGRES");
    return {};
}
} // namespace

TSession& Session()
{
    static TSession session;
    return session;
}

TSession::~TSession()
{
    // Connections go with the program; removing them here would run after Qt's own teardown.
}

void TSession::EnsureLoaded() const
{
    if (!loaded_)
        const_cast<TSession*>(this)->LoadAliases();
}

QString TSession::WorkDir() const
{
    return workDir_.isEmpty() ? QDir::currentPath() : workDir_;
}

void TSession::SetWorkDir(const QString& dir)
{
    CloseDatabases();
    workDir_ = QDir(dir).absolutePath();
    LoadAliases();
}

QString TSession::AliasFileName() const
{
    return QDir(WorkDir()).filePath(QLatin1String(kAliasFile));
}

QString TSession::DemoDatabasePath() const
{
    return QDir(WorkDir()).filePath(QLatin1String(kDemoFile));
}

bool TSession::IsDemo(const QString& name)
{
    return name.trimmed().compare(QLatin1String(kDemoAlias), Qt::CaseInsensitive) == 0;
}

bool TSession::Fail(const QString& message)
{
    lastError_ = message;
    return false;
}

void TSession::LoadAliases()
{
    loaded_ = true;
    aliases_.clear();
    Alias demo;
    demo.Name = QLatin1String(kDemoAlias);
    demo.Driver = QStringLiteral("SQLITE");
    demo.Path = QLatin1String(kDemoFile);
    aliases_.push_back(demo);

    if (!QFileInfo::exists(AliasFileName()))
        return;
    QSettings ini(AliasFileName(), QSettings::IniFormat);
    for (const QString& group : ini.childGroups()) {
        if (IsDemo(group) || Find(group))
            continue;
        ini.beginGroup(group);
        auto value = [&](const char* key) {
            for (const QString& k : ini.childKeys())
                if (k.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
                    return ini.value(k).toString().trimmed();
            return QString();
        };
        Alias a;
        a.Name = group;
        a.Driver = DriverOf(value("Driver"));
        if (a.Driver.isEmpty())
            a.Driver = value("Driver").toUpper(); // kept; opening reports the unknown driver
        a.Path = value("Path");
        a.Host = value("Host");
        a.Port = value("Port").toInt();
        a.DatabaseName = value("Database");
        a.User = value("User");
        ini.endGroup();
        aliases_.push_back(a);
    }
}

const TSession::Alias* TSession::Find(const QString& name) const
{
    for (const Alias& a : aliases_)
        if (a.Name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return &a;
    return nullptr;
}

void TSession::GetAliasNames(QStringList& list) const
{
    list = AliasNames();
}

QStringList TSession::AliasNames() const
{
    EnsureLoaded();
    QStringList names;
    for (const Alias& a : aliases_)
        names << a.Name;
    std::sort(names.begin(), names.end(), [](const QString& x, const QString& y) {
        return x.compare(y, Qt::CaseInsensitive) < 0;
    });
    return names;
}

bool TSession::IsAlias(const QString& name) const
{
    EnsureLoaded();
    return Find(name) != nullptr;
}

QString TSession::GetAliasDriverName(const QString& alias) const
{
    EnsureLoaded();
    const Alias* a = Find(alias);
    return a ? a->Driver : QString();
}

bool TSession::GetAliasParams(const QString& alias, QStringList& params) const
{
    EnsureLoaded();
    params.clear();
    const Alias* a = Find(alias);
    if (!a)
        return false;
    if (a->Driver == QLatin1String("POSTGRES")) {
        params << QStringLiteral("HOST=") + a->Host << QStringLiteral("PORT=") + (a->Port ? QString::number(a->Port) : QString())
               << QStringLiteral("DATABASE=") + a->DatabaseName << QStringLiteral("USER=") + a->User;
    } else {
        params << QStringLiteral("PATH=") + a->Path;
    }
    return true;
}

bool TSession::AddAlias(const QString& name, const QString& driver, const QStringList& params)
{
    EnsureLoaded();
    const QString n = name.trimmed();
    if (n.isEmpty() || n.contains(u'/') || n.contains(u'\\') || n.contains(u'[') || n.contains(u']'))
        return Fail(QStringLiteral("'%1' is not a valid alias name").arg(name));
    if (Find(n))
        return Fail(QStringLiteral("The alias '%1' already exists").arg(n));
    Alias a;
    a.Name = n;
    a.Driver = DriverOf(driver);
    if (a.Driver.isEmpty())
        return Fail(QStringLiteral("Unknown database driver '%1'").arg(driver));
    for (const QString& line : params) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed().toUpper();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("PATH"))
            a.Path = value;
        else if (key == QLatin1String("HOST"))
            a.Host = value;
        else if (key == QLatin1String("PORT"))
            a.Port = value.toInt();
        else if (key == QLatin1String("DATABASE"))
            a.DatabaseName = value;
        else if (key == QLatin1String("USER"))
            a.User = value;
    }
    if (a.Driver == QLatin1String("SQLITE") && a.Path.isEmpty())
        return Fail(QStringLiteral("The alias '%1' needs a PATH").arg(n));
    aliases_.push_back(a);
    return true;
}

bool TSession::AddStandardAlias(const QString& name, const QString& path, const QString& driver)
{
    return AddAlias(name, driver, {QStringLiteral("PATH=") + path});
}

bool TSession::DeleteAlias(const QString& name)
{
    EnsureLoaded();
    if (IsDemo(name))
        return Fail(QStringLiteral("The alias DEMO cannot be deleted"));
    const Alias* a = Find(name);
    if (!a)
        return Fail(QStringLiteral("Unknown alias '%1'").arg(name));
    const QString conn = ConnectionName(*a);
    if (connections_.contains(conn)) {
        QSqlDatabase::database(conn, false).close();
        QSqlDatabase::removeDatabase(conn);
        connections_.removeAll(conn);
    }
    aliases_.erase(aliases_.begin() + (a - aliases_.data()));
    return true;
}

bool TSession::SaveConfigFile()
{
    EnsureLoaded();
    QFile::remove(AliasFileName());
    QSettings ini(AliasFileName(), QSettings::IniFormat);
    for (const Alias& a : aliases_) {
        if (IsDemo(a.Name))
            continue;
        ini.beginGroup(a.Name);
        ini.setValue(QStringLiteral("Driver"), a.Driver);
        if (a.Driver == QLatin1String("POSTGRES")) {
            ini.setValue(QStringLiteral("Host"), a.Host);
            if (a.Port)
                ini.setValue(QStringLiteral("Port"), a.Port);
            ini.setValue(QStringLiteral("Database"), a.DatabaseName);
            ini.setValue(QStringLiteral("User"), a.User);
        } else {
            ini.setValue(QStringLiteral("Path"), a.Path);
        }
        ini.endGroup();
    }
    ini.sync();
    if (ini.status() != QSettings::NoError)
        return Fail(QStringLiteral("The alias file '%1' could not be written").arg(AliasFileName()));
    return true;
}

QString TSession::ConnectionName(const Alias& a) const
{
    return QStringLiteral("kivo.alias.") + a.Name.toUpper();
}

QSqlDatabase TSession::Database(const QString& alias)
{
    EnsureLoaded();
    const Alias* a = Find(alias);
    if (!a) {
        Fail(QStringLiteral("Unknown alias '%1'").arg(alias));
        return {};
    }
    const QString conn = ConnectionName(*a);
    if (connections_.contains(conn)) {
        QSqlDatabase db = QSqlDatabase::database(conn, false);
        if (db.isOpen() || db.open())
            return db;
        Fail(db.lastError().text());
        return db;
    }

    QString driver;
    if (a->Driver == QLatin1String("SQLITE"))
        driver = QStringLiteral("QSQLITE");
    else if (a->Driver == QLatin1String("POSTGRES"))
        driver = QStringLiteral("QPSQL");
    else {
        Fail(QStringLiteral("The alias '%1' names the unknown driver '%2'").arg(a->Name, a->Driver));
        return {};
    }
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        Fail(QStringLiteral("The database driver %1 is not installed").arg(driver));
        return {};
    }
    if (driver == QLatin1String("QSQLITE")) {
        const QString path = QDir(WorkDir()).absoluteFilePath(a->Path);
        if (IsDemo(a->Name) && !QFileInfo::exists(path)) {
            QString error;
            if (!CreateDemoDatabase(path, &error)) {
                QFile::remove(path);
                Fail(QStringLiteral("The demo database could not be created: %1").arg(error));
                return {};
            }
        }
        if (!QFileInfo::exists(path)) {
            Fail(QStringLiteral("The database file '%1' of alias '%2' does not exist").arg(path, a->Name));
            return {};
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, conn);
        connections_ << conn;
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            Fail(db.lastError().text());
        return db;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, conn);
    connections_ << conn;
    db.setHostName(a->Host);
    if (a->Port)
        db.setPort(a->Port);
    db.setDatabaseName(a->DatabaseName);
    db.setUserName(a->User);
    if (!db.open())
        Fail(db.lastError().text());
    return db;
}

bool TSession::GetTableNames(const QString& alias, QStringList& list)
{
    list.clear();
    QSqlDatabase db = Database(alias);
    if (!db.isOpen())
        return false;
    for (const QString& t : db.tables(QSql::Tables) + db.tables(QSql::Views))
        if (!t.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
            list << t;
    std::sort(list.begin(), list.end(), [](const QString& x, const QString& y) {
        return x.compare(y, Qt::CaseInsensitive) < 0;
    });
    return true;
}

void TSession::CloseDatabases()
{
    for (const QString& conn : connections_) {
        {
            QSqlDatabase db = QSqlDatabase::database(conn, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(conn);
    }
    connections_.clear();
}
