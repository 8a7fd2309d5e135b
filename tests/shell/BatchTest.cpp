#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/Batch.h"
#include "shell/Variable.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {
struct BatchRun {
    int status = 0;
    QString out, err;
};

BatchRun RunTool(const QStringList& args)
{
    BatchRun r;
    QTextStream out(&r.out), err(&r.err);
    r.status = RunBatch(args, out, err);
    out.flush();
    err.flush();
    return r;
}
} // namespace

TEST(Batch, DemoWritesSamplesThatInfoOutlines)
{
    QTemporaryDir dir;
    InitVariables(dir.path());
    TScreen::Override(96, 1280, 1024);
    TPrinter::Get().Reset();
    const BatchRun demo = RunTool({"demo", dir.path()});
    ASSERT_EQ(demo.status, 0) << demo.err.toStdString();
    const QStringList written = demo.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(written.size(), 3);
    // The first sample: two forms, header and footer on the first, nested panels, a picture.
    const BatchRun info = RunTool({"info", written[0]});
    ASSERT_EQ(info.status, 0) << info.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(info.out.toUtf8()).object();
    EXPECT_EQ(o["type"].toString(), QStringLiteral("project"));
    EXPECT_DOUBLE_EQ(o["version"].toObject()["number"].toDouble(), 0.1);
    const QJsonArray forms = o["forms"].toArray();
    ASSERT_EQ(forms.size(), 2);
    const QJsonObject first = forms[0].toObject();
    EXPECT_EQ(first["kind"].toInt(), 100);
    EXPECT_TRUE(first["headerOn"].toBool());
    EXPECT_EQ(o["pictures"].toInt(), 1);
    bool nested = false;
    for (const QJsonValue& v : first["objects"].toArray()) {
        const QJsonObject obj = v.toObject();
        ASSERT_EQ(obj["bounds"].toArray().size(), 4);
        for (const QJsonValue& c : obj["children"].toArray())
            nested = nested || !c.toObject()["children"].toArray().isEmpty();
    }
    EXPECT_TRUE(nested) << "a panel inside a panel";
    // Every sample reads back.
    for (const QString& f : written)
        EXPECT_EQ(RunTool({"info", f}).status, 0) << f.toStdString();
    TScreen::ClearOverride();
}

TEST(Batch, FilesItCannotReadGiveOneLineAndStatusOne)
{
    QTemporaryDir dir;
    InitVariables(dir.path());
    const QString garbage = dir.filePath("garbage.KvR");
    QFile f(garbage);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a project at all");
    f.close();
    for (const QString& file : {garbage, dir.filePath("missing.KvR")}) {
        ScriptedDialogs()->Reset();
        const BatchRun r = RunTool({"info", file});
        EXPECT_EQ(r.status, 1) << file.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(file)) << r.err.toStdString();
        ScriptedDialogs()->Reset(); // what the reader showed went to the error line
    }
    EXPECT_EQ(RunTool({"frobnicate"}).status, 2);
}
