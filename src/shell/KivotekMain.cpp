// Program start: settings, application, shell window, message loop.
#include "data/HostData.h"
#include "designer/Objectgenerator.h"
#include "platform/db/Session.h"
#include "platform/Dialogs.h"
#include "shell/TestprogrammUnit1.h"
#include "shell/Variable.h"
#include <QApplication>
#include <QFileInfo>
#include <QScreen>

int main(int argc, char** argv)
{
    InitVariables(QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath());
    QApplication app(argc, argv);
    InitVariables(QCoreApplication::applicationDirPath());
    app.setProperty("helpFile", HelpFileName);
    TDialogs::Install(std::make_unique<TQtDialogs>());
    InstallDesignerFactory();
    // The host application's data: one table with its data source per table of the demo database.
    Session().SetWorkDir(WorkDir);
    OpenHostAlias(QStringLiteral("DEMO"));
    TForm1 form;
    QApplication::setApplicationName(QStringLiteral("Kivotek"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kivotek"));
    // Without a window manager "maximised" means nothing: take the whole screen first.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    return QApplication::exec();
}
