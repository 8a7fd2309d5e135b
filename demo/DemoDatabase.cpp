#include "demo/DemoDatabase.h"
#include <QBuffer>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <cmath>
#include <cstdint>

namespace {
// A small generator of our own, so that the data never depends on the standard library's
// distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint32_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_ >> 11);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N]) { return items[Below(static_cast<int>(N))]; }

private:
    std::uint64_t state_;
};

struct Country {
    const char* Code;
    const char* Name;
    const char* Continent;
    const char* Currency;
    const char* Cities[4];
};

const Country kCountries[] = {
    {"DE", "Germany", "Europe", "EUR", {"Berlin", "Hamburg", "Munich", "Cologne"}},
    {"AT", "Austria", "Europe", "EUR", {"Vienna", "Graz", "Linz", "Salzburg"}},
    {"CH", "Switzerland", "Europe", "CHF", {"Zurich", "Geneva", "Basel", "Bern"}},
    {"FR", "France", "Europe", "EUR", {"Paris", "Lyon", "Marseille", "Toulouse"}},
    {"IT", "Italy", "Europe", "EUR", {"Rome", "Milan", "Naples", "Turin"}},
    {"ES", "Spain", "Europe", "EUR", {"Madrid", "Barcelona", "Valencia", "Seville"}},
    {"NL", "Netherlands", "Europe", "EUR", {"Amsterdam", "Rotterdam", "Utrecht", "Eindhoven"}},
    {"GB", "United Kingdom", "Europe", "GBP", {"London", "Manchester", "Leeds", "Glasgow"}},
    {"SE", "Sweden", "Europe", "SEK", {"Stockholm", "Gothenburg", "Malmo", "Uppsala"}},
    {"PL", "Poland", "Europe", "PLN", {"Warsaw", "Krakow", "Gdansk", "Wroclaw"}},
    {"US", "United States", "North America", "USD", {"New York", "Chicago", "Seattle", "Boston"}},
    {"CA", "Canada", "North America", "CAD", {"Toronto", "Montreal", "Vancouver", "Ottawa"}},
    {"BR", "Brazil", "South America", "BRL", {"Sao Paulo", "Rio de Janeiro", "Curitiba", "Recife"}},
    {"JP", "Japan", "Asia", "JPY", {"Tokyo", "Osaka", "Nagoya", "Sapporo"}},
    {"AU", "Australia", "Oceania", "AUD", {"Sydney", "Melbourne", "Perth", "Brisbane"}},
};

const char* const kNamePrefix[] = {"Alpine", "Blue", "Central", "Delta", "Eastern", "First", "Golden", "Harbor",
                                   "Iron", "Jade", "Keystone", "Lakeside", "Metro", "Northern", "Oak", "Pioneer",
                                   "Quality", "River", "Summit", "Tower", "United", "Valley", "Western", "Zenith"};
const char* const kNameCore[] = {"Trading", "Supplies", "Foods", "Tools", "Office", "Garden", "Electric",
                                 "Books", "Sports", "Textiles", "Motors", "Crafts", "Optics", "Systems"};
const char* const kNameForm[] = {"Ltd", "Inc", "GmbH", "& Co", "Group", "Partners", "AG", "SA"};
const char* const kFirstNames[] = {"Anna", "Ben", "Clara", "David", "Eva", "Felix", "Grace", "Hugo", "Ines",
                                   "Jonas", "Karin", "Leo", "Maria", "Nils", "Olga", "Paul", "Rita", "Sven",
                                   "Tina", "Uwe", "Vera", "Walter", "Yara", "Zoe"};
const char* const kLastNames[] = {"Adams", "Becker", "Costa", "Dubois", "Eriksson", "Fischer", "Garcia",
                                  "Hoffmann", "Ito", "Jansen", "Kowalski", "Larsen", "Martin", "Novak",
                                  "O'Brien", "Peters", "Rossi", "Schmidt", "Tanaka", "Weber"};
const char* const kStreets[] = {"Main Street", "Station Road", "Market Square", "Park Lane", "Church Street",
                                "Mill Road", "High Street", "Harbour Way", "Lindenallee", "Rue de la Paix"};

struct ProductKind {
    const char* Category;
    const char* Names[5];
    double MinPrice, MaxPrice;
};
const ProductKind kProducts[] = {
    {"Office", {"Stapler", "Desk Lamp", "Paper Tray", "Binder Set", "Whiteboard"}, 4, 120},
    {"Tools", {"Hammer", "Screwdriver Set", "Cordless Drill", "Spirit Level", "Tape Measure"}, 6, 180},
    {"Garden", {"Garden Hose", "Pruning Shears", "Watering Can", "Flower Pots", "Rake"}, 5, 90},
    {"Kitchen", {"Chef's Knife", "Cutting Board", "Espresso Cup", "Teapot", "Salad Bowl"}, 3, 150},
    {"Electronics", {"USB Cable", "Headphones", "Power Bank", "Webcam", "Keyboard"}, 8, 220},
    {"Sports", {"Football", "Yoga Mat", "Water Bottle", "Tennis Racket", "Running Cap"}, 7, 160},
    {"Books", {"Atlas of the World", "Cook Book", "Garden Guide", "City Travel Guide", "Dictionary"}, 9, 60},
    {"Toys", {"Building Blocks", "Puzzle 1000", "Kite", "Board Game", "Toy Train"}, 6, 80},
};

// A 48 x 48 picture: a coloured background and a simple shape in the product's colours.
QByteArray ProductPicture(int index, Random& rnd)
{
    QImage img(48, 48, QImage::Format_RGB32);
    const int hue = (index * 47) % 360;
    const QColor back = QColor::fromHsv(hue, 60, 240);
    const QColor fore = QColor::fromHsv((hue + 180) % 360, 200, 170);
    const int shape = index % 3;
    const int r = rnd.Between(12, 18);
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int dx = x - 24, dy = y - 24;
            bool inside = false;
            if (shape == 0)
                inside = dx * dx + dy * dy <= r * r;
            else if (shape == 1)
                inside = std::abs(dx) <= r && std::abs(dy) <= r;
            else
                inside = dy >= -r && dy <= r && std::abs(dx) <= (dy + r) / 2;
            const bool border = x == 0 || y == 0 || x == img.width() - 1 || y == img.height() - 1;
            line[x] = border ? qRgb(90, 90, 90) : (inside ? fore.rgb() : back.rgb());
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

bool Exec(QSqlQuery& q, const QString& sql, QString* error)
{
    if (q.exec(sql))
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

bool Run(QSqlQuery& q, QString* error)
{
    if (q.exec())
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

bool Fill(QSqlDatabase& db, QString* error)
{
    QSqlQuery q(db);
    const char* const schema[] = {
        "CREATE TABLE Countries (Code CHAR(2) PRIMARY KEY, Name VARCHAR(40) NOT NULL, "
        "Continent VARCHAR(20), Currency CHAR(3))",
        "CREATE TABLE Customers (CustNo INTEGER PRIMARY KEY, Company VARCHAR(50) NOT NULL, "
        "Contact VARCHAR(40), Street VARCHAR(50), Zip VARCHAR(10), City VARCHAR(30), "
        "Country CHAR(2) REFERENCES Countries(Code), Phone VARCHAR(20), CreditLimit CURRENCY, "
        "CustomerSince DATE, Active BOOLEAN)",
        "CREATE TABLE Products (ProductNo INTEGER PRIMARY KEY, Name VARCHAR(40) NOT NULL, "
        "Category VARCHAR(20), Price CURRENCY, Weight FLOAT, InStock INTEGER, Picture IMAGE, Description MEMO)",
        "CREATE TABLE Orders (OrderNo INTEGER PRIMARY KEY, CustNo INTEGER REFERENCES Customers(CustNo), "
        "OrderDate DATETIME, ShipDate DATE, Paid BOOLEAN, Remark VARCHAR(60))",
        "CREATE TABLE OrderLines (OrderNo INTEGER REFERENCES Orders(OrderNo), LineNo SMALLINT, "
        "ProductNo INTEGER REFERENCES Products(ProductNo), Quantity INTEGER, Price CURRENCY, "
        "Discount NUMERIC(5,2), PRIMARY KEY (OrderNo, LineNo))",
        "CREATE INDEX CustCity ON Customers (City)",
        "CREATE INDEX CustCompany ON Customers (Company COLLATE NOCASE)",
        "CREATE INDEX OrderCustomer ON Orders (CustNo)",
        "CREATE INDEX OrderDate ON Orders (OrderDate)",
        "CREATE INDEX LineProduct ON OrderLines (ProductNo)",
    };
    for (const char* sql : schema)
        if (!Exec(q, QLatin1String(sql), error))
            return false;

    Random rnd(20240607);

    q.prepare(QStringLiteral("INSERT INTO Countries VALUES (?, ?, ?, ?)"));
    for (const Country& c : kCountries) {
        q.addBindValue(QLatin1String(c.Code));
        q.addBindValue(QLatin1String(c.Name));
        q.addBindValue(QLatin1String(c.Continent));
        q.addBindValue(QLatin1String(c.Currency));
        if (!Run(q, error))
            return false;
    }

    const int customerCount = 240;
    q.prepare(QStringLiteral("INSERT INTO Customers VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 1; i <= customerCount; ++i) {
        const Country& c = rnd.Pick(kCountries);
        const QString company = QStringLiteral("%1 %2 %3").arg(QLatin1String(rnd.Pick(kNamePrefix)),
                                                             QLatin1String(rnd.Pick(kNameCore)),
                                                             QLatin1String(rnd.Pick(kNameForm)));
        q.addBindValue(i);
        q.addBindValue(company);
        q.addBindValue(QStringLiteral("%1 %2").arg(QLatin1String(rnd.Pick(kFirstNames)), QLatin1String(rnd.Pick(kLastNames))));
        q.addBindValue(QStringLiteral("%1 %2").arg(QLatin1String(rnd.Pick(kStreets))).arg(rnd.Between(1, 180)));
        q.addBindValue(QString::number(rnd.Between(10000, 99999)));
        q.addBindValue(QLatin1String(c.Cities[rnd.Below(4)]));
        q.addBindValue(QLatin1String(c.Code));
        q.addBindValue(i % 17 == 0 ? QVariant(QMetaType(QMetaType::QString))
                                   : QVariant(QStringLiteral("+%1 %2").arg(rnd.Between(1, 99)).arg(rnd.Between(1000000, 9999999))));
        q.addBindValue(rnd.Between(5, 200) * 100.0);
        q.addBindValue(QDate(2010, 1, 1).addDays(rnd.Below(3300)).toString(Qt::ISODate));
        q.addBindValue(rnd.Below(10) < 8 ? 1 : 0);
        if (!Run(q, error))
            return false;
    }

    std::vector<double> prices;
    q.prepare(QStringLiteral("INSERT INTO Products VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    int productNo = 0;
    for (const ProductKind& kind : kProducts) {
        for (const char* name : kind.Names) {
            ++productNo;
            const double price = std::round((kind.MinPrice + (kind.MaxPrice - kind.MinPrice) * rnd.Below(1000) / 1000.0) * 100) / 100;
            prices.push_back(price);
            q.addBindValue(productNo);
            q.addBindValue(QLatin1String(name));
            q.addBindValue(QLatin1String(kind.Category));
            q.addBindValue(price);
            q.addBindValue(rnd.Between(50, 5000) / 100.0);
            q.addBindValue(rnd.Between(0, 400));
            q.addBindValue(ProductPicture(productNo, rnd));
            q.addBindValue(QStringLiteral("%1 from our %2 range.\r\nSturdy, tested and delivered within %3 days.\r\n"
                                          "Article %4.")
                               .arg(QLatin1String(name), QString::fromLatin1(kind.Category).toLower())
                               .arg(rnd.Between(2, 14))
                               .arg(productNo, 5, 10, QLatin1Char('0')));
            if (!Run(q, error))
                return false;
        }
    }

    // Orders spread over 2019 to 2024, each with one to six lines.
    const QDateTime start(QDate(2019, 1, 1), QTime(8, 0));
    const int days = static_cast<int>(QDate(2019, 1, 1).daysTo(QDate(2024, 12, 31)));
    const int orderCount = 1500;
    QSqlQuery lines(db);
    lines.prepare(QStringLiteral("INSERT INTO OrderLines VALUES (?, ?, ?, ?, ?, ?)"));
    q.prepare(QStringLiteral("INSERT INTO Orders VALUES (?, ?, ?, ?, ?, ?)"));
    std::vector<int> dayOfOrder;
    for (int i = 0; i < orderCount; ++i)
        dayOfOrder.push_back(rnd.Below(days + 1));
    std::sort(dayOfOrder.begin(), dayOfOrder.end());
    const char* const remarks[] = {"", "", "", "Urgent", "Call before delivery", "Gift wrap", "Partial delivery ok"};
    for (int i = 0; i < orderCount; ++i) {
        const int orderNo = 1001 + i;
        const QDateTime when = start.addDays(dayOfOrder[i]).addSecs(rnd.Below(10 * 3600) + 60 * rnd.Below(60));
        const QDate shipped = when.date().addDays(rnd.Between(1, 12));
        q.addBindValue(orderNo);
        q.addBindValue(rnd.Between(1, customerCount));
        q.addBindValue(when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        q.addBindValue(i >= orderCount - 25 ? QVariant(QMetaType(QMetaType::QString)) : QVariant(shipped.toString(Qt::ISODate)));
        q.addBindValue(i < orderCount - 60 || rnd.Below(2) ? 1 : 0);
        const char* remark = rnd.Pick(remarks);
        q.addBindValue(*remark ? QVariant(QLatin1String(remark)) : QVariant(QMetaType(QMetaType::QString)));
        if (!Run(q, error))
            return false;
        const int lineCount = rnd.Between(1, 6);
        for (int l = 1; l <= lineCount; ++l) {
            const int product = rnd.Between(1, productNo);
            lines.addBindValue(orderNo);
            lines.addBindValue(l);
            lines.addBindValue(product);
            lines.addBindValue(rnd.Between(1, 25));
            lines.addBindValue(prices[product - 1]);
            lines.addBindValue(rnd.Below(4) == 0 ? rnd.Pick({0.05, 0.1, 0.15}) : 0.0);
            if (!Run(lines, error))
                return false;
        }
    }
    return true;
}
} // namespace

bool CreateDemoDatabase(const QString& path, QString* error)
{
    if (QFile::exists(path) && !QFile::remove(path)) {
        if (error)
            *error = QStringLiteral("The file '%1' cannot be replaced").arg(path);
        return false;
    }
    const QString conn = QStringLiteral("kivo.demo.create");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        if (!db.open()) {
            if (error)
                *error = db.lastError().text();
        } else {
            db.transaction();
            ok = Fill(db, error);
            ok = ok ? db.commit() : (db.rollback(), false);
            if (!ok && error && error->isEmpty())
                *error = db.lastError().text();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conn);
    if (!ok)
        QFile::remove(path);
    return ok;
}
