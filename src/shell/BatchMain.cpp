// kivotek-batch: what a project or object file holds, and the sample projects.
#include "shell/Batch.h"
#include "shell/Variable.h"
#include <QApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitVariables(QCoreApplication::applicationDirPath());
    QTextStream out(stdout), err(stderr);
    return RunBatch(app.arguments().mid(1), out, err);
}
