// Entry point of every test executable: a headless application with scripted dialogs.
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include <QApplication>
#include <gtest/gtest.h>
#include <cstdlib>

namespace {
// Fails a test that met a dialog it did not script, and gives every test fresh dialogs.
class DialogGuard : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override
    {
        if (auto* d = ScriptedDialogs())
            d->Reset();
        FormatSettings() = TFormatSettings::English();
    }
    void OnTestEnd(const testing::TestInfo&) override
    {
        if (auto* d = ScriptedDialogs()) {
            for (const QString& text : d->Unexpected())
                ADD_FAILURE() << "unexpected dialog: " << text.toStdString();
            if (d->PendingAnswers() > 0)
                ADD_FAILURE() << d->PendingAnswers() << " scripted dialog answer(s) were never used";
        }
    }
};
} // namespace

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    TDialogs::Install(std::make_unique<TScriptedDialogs>());
    testing::UnitTest::GetInstance()->listeners().Append(new DialogGuard);
    return RUN_ALL_TESTS();
}
