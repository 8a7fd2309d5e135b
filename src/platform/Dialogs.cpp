#include "platform/Dialogs.h"
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace {
std::unique_ptr<TDialogs>& Instance()
{
    static std::unique_ptr<TDialogs> instance;
    return instance;
}
} // namespace

TDialogs& TDialogs::Get()
{
    auto& inst = Instance();
    if (!inst)
        inst = std::make_unique<TQtDialogs>();
    return *inst;
}

void TDialogs::Install(std::unique_ptr<TDialogs> dialogs)
{
    Instance() = std::move(dialogs);
}

TScriptedDialogs* ScriptedDialogs()
{
    return dynamic_cast<TScriptedDialogs*>(Instance().get());
}

QString ToQtFilter(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(';', ' ');
        if (!desc.contains('('))
            desc += QStringLiteral(" (%1)").arg(patterns);
        else
            desc = desc.left(desc.indexOf('(')).trimmed() + QStringLiteral(" (%1)").arg(patterns);
        out << desc;
    }
    return out.join(QStringLiteral(";;"));
}

// ---- Qt dialogs ----

int TQtDialogs::MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    QMessageBox box;
    box.setText(text);
    switch (type) {
    case TMsgDlgType::Warning: box.setIcon(QMessageBox::Warning); box.setWindowTitle(QObject::tr("Warning")); break;
    case TMsgDlgType::Error: box.setIcon(QMessageBox::Critical); box.setWindowTitle(QObject::tr("Error")); break;
    case TMsgDlgType::Information: box.setIcon(QMessageBox::Information); box.setWindowTitle(QObject::tr("Information")); break;
    case TMsgDlgType::Confirmation: box.setIcon(QMessageBox::Question); box.setWindowTitle(QObject::tr("Confirm")); break;
    case TMsgDlgType::Custom: box.setWindowTitle(QStringLiteral("Kivotek")); break;
    }
    struct Map { TMsgDlgBtn btn; QMessageBox::StandardButton qt; int result; };
    static const Map maps[] = {
        {mbYes, QMessageBox::Yes, mrYes}, {mbNo, QMessageBox::No, mrNo}, {mbOK, QMessageBox::Ok, mrOk},
        {mbCancel, QMessageBox::Cancel, mrCancel}, {mbAbort, QMessageBox::Abort, mrAbort},
        {mbRetry, QMessageBox::Retry, mrRetry}, {mbIgnore, QMessageBox::Ignore, mrIgnore}};
    QMessageBox::StandardButtons qtButtons;
    for (const auto& m : maps)
        if (buttons & m.btn)
            qtButtons |= m.qt;
    if (!qtButtons)
        qtButtons = QMessageBox::Ok;
    box.setStandardButtons(qtButtons);
    const int clicked = box.exec();
    for (const auto& m : maps)
        if (clicked == m.qt)
            return m.result;
    return (buttons & mbCancel) ? mrCancel : mrNone;
}

void TQtDialogs::ShowMessage(const QString& text)
{
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("Kivotek"));
    box.setText(text);
    box.exec();
}

bool TQtDialogs::InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    bool ok = false;
    const QString v = QInputDialog::getText(nullptr, caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = v;
    return ok;
}

namespace {
bool RunFileDialog(TFileDialogRequest& r, QFileDialog::AcceptMode mode)
{
    QFileDialog dlg(nullptr, r.Title, r.InitialDir.isEmpty() ? QFileInfo(r.FileName).absolutePath() : r.InitialDir);
    dlg.setAcceptMode(mode);
    dlg.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // Overwriting is confirmed by the commands themselves.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = ToQtFilter(r.Filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        const int index = qBound(1, r.FilterIndex, static_cast<int>(filters.size()));
        dlg.selectNameFilter(filters[index - 1]);
    }
    if (!r.FileName.isEmpty())
        dlg.selectFile(r.FileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    r.FileName = dlg.selectedFiles().first();
    r.FilterIndex = static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1;
    return true;
}
} // namespace

bool TQtDialogs::OpenFile(TFileDialogRequest& request) { return RunFileDialog(request, QFileDialog::AcceptOpen); }
bool TQtDialogs::SaveFile(TFileDialogRequest& request) { return RunFileDialog(request, QFileDialog::AcceptSave); }

bool TQtDialogs::ChooseFont(QFont& font, TColor& color)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, font);
    if (ok)
        font = f;
    (void)color;
    return ok;
}

bool TQtDialogs::ChooseColor(TColor& color)
{
    const QColor c = QColorDialog::getColor(ToQColor(color));
    if (!c.isValid())
        return false;
    color = FromQColor(c);
    return true;
}

bool TQtDialogs::PrintSetup(QPrinter& printer)
{
    QPrintDialog dlg(&printer);
    return dlg.exec() == QDialog::Accepted;
}

int TQtDialogs::ExecModal(QDialog& dialog) { return dialog.exec(); }

bool TQtDialogs::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

// ---- scripted dialogs ----

bool TScriptedDialogs::Take(Kind kind, const QString& text, Answer& answer)
{
    shown_.push_back({kind, text});
    if (answers_.empty()) {
        unexpected_ << text;
        return false;
    }
    answer = std::move(answers_.front());
    answers_.pop_front();
    return true;
}

int TScriptedDialogs::MessageDlg(const QString& text, TMsgDlgType, TMsgDlgButtons buttons)
{
    // A box with nothing to choose needs no scripted answer.
    if (buttons == mbOK || buttons == 0) {
        shown_.push_back({Kind::Message, text});
        return mrOk;
    }
    Answer a;
    if (!Take(Kind::Message, text, a))
        return (buttons & mbCancel) ? mrCancel : ((buttons & mbNo) ? mrNo : mrNone);
    return a.result;
}

void TScriptedDialogs::ShowMessage(const QString& text)
{
    shown_.push_back({Kind::Info, text});
}

bool TScriptedDialogs::InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    Answer a;
    if (!Take(Kind::Input, prompt, a) || !a.accept)
        return false;
    value = a.text;
    return true;
}

bool TScriptedDialogs::OpenFile(TFileDialogRequest& request)
{
    Answer a;
    if (!Take(Kind::OpenFile, request.Title, a) || !a.accept)
        return false;
    request.FileName = a.text;
    if (a.filterIndex > 0)
        request.FilterIndex = a.filterIndex;
    return true;
}

bool TScriptedDialogs::SaveFile(TFileDialogRequest& request)
{
    Answer a;
    if (!Take(Kind::SaveFile, request.Title, a) || !a.accept)
        return false;
    request.FileName = a.text;
    if (a.filterIndex > 0)
        request.FilterIndex = a.filterIndex;
    return true;
}

bool TScriptedDialogs::ChooseFont(QFont& font, TColor& color)
{
    Answer a;
    if (!Take(Kind::Font, QStringLiteral("font"), a) || !a.accept)
        return false;
    font = a.font;
    color = a.color;
    return true;
}

bool TScriptedDialogs::ChooseColor(TColor& color)
{
    Answer a;
    if (!Take(Kind::Color, QStringLiteral("color"), a) || !a.accept)
        return false;
    color = a.color;
    return true;
}

bool TScriptedDialogs::PrintSetup(QPrinter&)
{
    Answer a;
    return Take(Kind::PrintSetup, QStringLiteral("print setup"), a) && a.accept;
}

int TScriptedDialogs::ExecModal(QDialog& dialog)
{
    Answer a;
    if (!Take(Kind::Modal, dialog.windowTitle(), a))
        return QDialog::Rejected;
    if (a.modal)
        return a.modal(dialog);
    return a.accept ? QDialog::Accepted : QDialog::Rejected;
}

bool TScriptedDialogs::OpenUrl(const QUrl& url)
{
    shown_.push_back({Kind::Url, url.toString()});
    return true;
}

QStringList TScriptedDialogs::Texts() const
{
    QStringList out;
    for (const auto& s : shown_)
        out << s.text;
    return out;
}

void TScriptedDialogs::Reset()
{
    shown_.clear();
    answers_.clear();
    unexpected_.clear();
}
