// kivotek-batch: what a project or object file holds, and the sample projects.
#include "shell/Batch.h"
#include "shell/Variable.h"
#include <QApplication>
#include <QTextStream>
#include <QDir>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt warns on stderr without a runtime directory; the tool's stderr is for its own errors.
    if (qgetenv("XDG_RUNTIME_DIR").isEmpty()) {
        const QByteArray dir = QDir::tempPath().toLocal8Bit() + "/kivotek-runtime-" + QByteArray::number(getuid());
        if (mkdir(dir.constData(), 0700) == 0 || errno == EEXIST)
            qputenv("XDG_RUNTIME_DIR", dir);
    }
    QApplication app(argc, argv);
    InitVariables(QCoreApplication::applicationDirPath());
    QTextStream out(stdout), err(stderr);
    return RunBatch(app.arguments().mid(1), out, err);
}
