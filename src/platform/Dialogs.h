#pragma once
// Every message box, input box, file, font, colour and print dialog and every modal window
// goes through one interface, so that the whole program runs headless under test.
#include "platform/Color.h"
#include <QFont>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QDialog;
class QPrinter;
class QUrl;

enum class TMsgDlgType { Warning, Error, Information, Confirmation, Custom };

enum TMsgDlgBtn : unsigned {
    mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8, mbAbort = 16, mbRetry = 32, mbIgnore = 64
};
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

enum TModalResult : int {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7
};

// A file dialog request. Filters use the "Description|*.EXT|Description|*.EXT" form.
struct TFileDialogRequest {
    QString Title;
    QString Filter;
    int FilterIndex = 1;
    QString InitialDir;
    QString FileName;
};

class TDialogs {
public:
    virtual ~TDialogs() = default;

    // A message box; returns the TModalResult of the button chosen.
    virtual int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    // A plain information box with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // An input box; false when cancelled (value unchanged).
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value) = 0;
    // File dialogs; on success the request's FileName and FilterIndex hold the choice.
    virtual bool OpenFile(TFileDialogRequest& request) = 0;
    virtual bool SaveFile(TFileDialogRequest& request) = 0;
    virtual bool ChooseFont(QFont& font, TColor& color) = 0;
    virtual bool ChooseColor(TColor& color) = 0;
    // The printer set-up dialog on the given printer.
    virtual bool PrintSetup(QPrinter& printer) = 0;
    // Runs a modal window to its end; returns its result code.
    virtual int ExecModal(QDialog& dialog) = 0;
    // Opens a document or address in the desktop's browser.
    virtual bool OpenUrl(const QUrl& url) = 0;

    // The process-wide instance; the program installs the Qt one, tests the scripted one.
    static TDialogs& Get();
    static void Install(std::unique_ptr<TDialogs> dialogs);
};

// The dialogs of the program: real Qt dialogs.
class TQtDialogs : public TDialogs {
public:
    int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    void ShowMessage(const QString& text) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    bool OpenFile(TFileDialogRequest& request) override;
    bool SaveFile(TFileDialogRequest& request) override;
    bool ChooseFont(QFont& font, TColor& color) override;
    bool ChooseColor(TColor& color) override;
    bool PrintSetup(QPrinter& printer) override;
    int ExecModal(QDialog& dialog) override;
    bool OpenUrl(const QUrl& url) override;
};

// Converts "Desc|*.A|Desc2|*.B" into Qt's "Desc (*.A);;Desc2 (*.B)".
QString ToQtFilter(const QString& filter);

// Dialogs for tests: records every dialog shown and answers from a queue.
// A dialog that needs an answer when none is queued is recorded as unexpected
// and answered with Cancel, so that a test fails instead of blocking.
class TScriptedDialogs : public TDialogs {
public:
    enum class Kind { Message, Info, Input, OpenFile, SaveFile, Font, Color, PrintSetup, Modal, Url };
    struct Shown {
        Kind kind;
        QString text;
    };
    struct Answer {
        bool accept = true;       // false: Cancel / closed
        int result = mrOk;        // message boxes and modal windows
        QString text;             // input box value or file name
        int filterIndex = 0;      // 0: leave the request's filter index
        QFont font;
        TColor color = clBlack;
        std::function<int(QDialog&)> modal; // drives a modal window; its return value is the result
    };

    int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    void ShowMessage(const QString& text) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    bool OpenFile(TFileDialogRequest& request) override;
    bool SaveFile(TFileDialogRequest& request) override;
    bool ChooseFont(QFont& font, TColor& color) override;
    bool ChooseColor(TColor& color) override;
    bool PrintSetup(QPrinter& printer) override;
    int ExecModal(QDialog& dialog) override;
    bool OpenUrl(const QUrl& url) override;

    void Queue(Answer a) { answers_.push_back(std::move(a)); }
    void QueueResult(int modalResult) { Answer a; a.result = modalResult; a.accept = modalResult != mrCancel; Queue(a); }
    void QueueText(const QString& text) { Answer a; a.text = text; Queue(a); }
    void QueueCancel() { Answer a; a.accept = false; a.result = mrCancel; Queue(a); }
    void QueueModal(std::function<int(QDialog&)> f) { Answer a; a.modal = std::move(f); Queue(a); }

    const std::vector<Shown>& ShownDialogs() const { return shown_; }
    QStringList Texts() const;               // texts of every dialog shown, in order
    QString LastText() const { return shown_.empty() ? QString() : shown_.back().text; }
    const QStringList& Unexpected() const { return unexpected_; }
    int PendingAnswers() const { return static_cast<int>(answers_.size()); }
    void Reset();

private:
    bool Take(Kind kind, const QString& text, Answer& answer);
    std::vector<Shown> shown_;
    std::deque<Answer> answers_;
    QStringList unexpected_;
};

// The scripted dialogs when they are installed, else nullptr.
TScriptedDialogs* ScriptedDialogs();
