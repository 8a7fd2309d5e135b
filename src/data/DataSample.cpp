#include "data/DataSample.h"
#include "content/DynLabel.h"
#include "data/CloneTable.h"
#include "data/HostData.h"
#include "objects/DYNProject.h"
#include "objects/DynDBForm.h"
#include "platform/db/Query.h"
#include "platform/db/Session.h"
#include "platform/db/Table.h"
#include "shell/Variable.h"
#include <QDir>
#include <QWidget>

namespace {
// Makes the session work in a directory for a while and then returns it where it was.
class SessionDirScope {
public:
    explicit SessionDirScope(const QString& dir) : previous_(Session().WorkDir()) { Session().SetWorkDir(dir); }
    ~SessionDirScope() { Session().SetWorkDir(previous_); }
    SessionDirScope(const SessionDirScope&) = delete;
    SessionDirScope& operator=(const SessionDirScope&) = delete;

private:
    QString previous_;
};

TDynLabel* AddLabel(TDynDBForm* form, const TRect& r, const QString& text)
{
    DrawRect = TDrawRect{0, 0, 0, 0, r.Left, r.Top, r.Right, r.Bottom};
    TDynDBForm* previous = CurrentForm;
    CurrentForm = form;
    auto* label = new TDynLabel(form, form);
    CurrentForm = previous;
    form->Children->Add(label);
    label->show();
    label->UpdateLayout();
    label->SetText(text);
    return label;
}

// A label showing a field of a data source.
bool AddFieldLabel(TDynDBForm* form, const TRect& r, TCloneDataSource* source, const QString& fieldName)
{
    TField* field = source->DataSet ? source->DataSet->FindField(fieldName) : nullptr;
    if (!field)
        return false;
    TDynLabel* label = AddLabel(form, r, field->FieldName());
    label->BindDataSource(source);
    label->BindField(field);
    return true;
}
} // namespace

bool WriteDataSample(const QString& dir, QString& file, QString& error)
{
    if (!QDir().mkpath(dir)) {
        error = QStringLiteral("%1: cannot create the directory").arg(dir);
        return false;
    }
    // The session's DEMO alias is generated beside the samples; everything that uses it goes
    // before the session returns to its directory.
    SessionDirScope sessionDir(dir);
    THostData host;
    if (!host.Open(QStringLiteral("DEMO"))) {
        error = QStringLiteral("the demo database cannot be opened: %1").arg(Session().LastError());
        return false;
    }
    TDataSource* customers = host.SourceOf(QStringLiteral("Customers"));
    if (!customers || !customers->DataSet()->Open()) {
        error = QStringLiteral("the demo database has no customers table");
        return false;
    }

    QWidget window;
    window.resize(1024, 768);
    {
        TDYNProject project(nullptr, &window);
        project.CreatedText = QStringLiteral("Kivotek sample with data");
        TCloneDataSource* table = TCloneDataSource::WrapTable(&project, customers);
        project.DataSources.Add(table);

        TCloneDataSource* orders = TCloneDataSource::CreateOwnQuery(&project);
        project.DataSources.Add(orders);
        orders->Name = QStringLiteral("OpenOrders");
        const QStringList sql{QStringLiteral("SELECT OrderNo, CustNo, OrderDate, ShipDate, Paid, Remark"),
                              QStringLiteral("FROM Orders"), QStringLiteral("WHERE Paid = 0"),
                              QStringLiteral("ORDER BY OrderDate DESC, OrderNo")};
        orders->Query->SetDatabaseName(QStringLiteral("DEMO"));
        orders->DatabaseName = QStringLiteral("DEMO");
        orders->Query->SetSQL(sql);
        orders->QuerySql.Assign(sql);
        if (!orders->SetSql(sql) || !orders->ReopenQuery()) {
            error = QStringLiteral("the sample query cannot be opened: %1").arg(orders->Query->LastError());
            return false;
        }
        // Filters the filter panel offers for this query.
        orders->SavedFilters.Add(QStringLiteral("CustNo < 20"));
        orders->SavedFilters.Add(QStringLiteral("Remark IS NOT NULL"));

        TDynDBForm* form = project.NewForm();
        form->Select();
        form->Activate();
        form->BindDataSource(table);
        AddLabel(form, TRect(60, 60, 400, 100), QStringLiteral("Customer"));
        bool bound = AddFieldLabel(form, TRect(60, 120, 400, 150), table, QStringLiteral("Company"));
        bound = AddFieldLabel(form, TRect(60, 160, 400, 190), table, QStringLiteral("City")) && bound;
        AddLabel(form, TRect(60, 240, 400, 280), QStringLiteral("Latest open order"));
        bound = AddFieldLabel(form, TRect(60, 300, 400, 330), orders, QStringLiteral("OrderDate")) && bound;
        if (!bound) {
            error = QStringLiteral("the demo database lacks a field of the sample");
            return false;
        }
        file = QDir(dir).filePath(QStringLiteral("Sample3.KvR"));
        if (!project.SaveProject(file)) {
            error = QStringLiteral("%1: cannot be written").arg(file);
            return false;
        }
    }
    return true;
}
