#include "content/DynMarginPanel.h"
#include "content/GridLine.h"
#include "content/Header.h"
#include "designer/BImage.h"
#include "designer/Objectgenerator.h"
#include "objects/DynDBForm.h"
#include "shell/Variable.h"
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace {
// A point of one widget in the coordinates of another of the same window.
QPoint MapBetween(const QWidget* from, const QWidget* to, QPoint p)
{
    if (!from || !to || from == to)
        return p;
    return to->mapFromGlobal(from->mapToGlobal(p));
}

QString MmText(double mm)
{
    return QString::number(static_cast<qint64>(mm));
}
} // namespace

TDynMarginPanel::TDynMarginPanel(TObjectgenerator* designer, Int16 orientation, TDynDBForm* form)
    : TDYNSimpelPanel(designer, form), Form(form), Orientation(orientation)
{
    KindInfo = KindByCode(kcMarginPanel);
    Name = KindInfo.Name + NumberText;
    TFont f;
    f.Charset = 1;
    f.Color = clBlack;
    f.SetHeight(-9);
    f.Name = QStringLiteral("Arial");
    f.Bold = true;
    SetFont(f);
    PropertySet.reset();
    PropertyRows.Clear();
    // The guide shows its text on its own panel, not on a drawing surface.
    Background->hide();
    SetColor(clYellow);
    SetShowCaption(true);
    SetBounds(0, 0, 10, 20);
    Line = new TGridLine(designer, orientation, form);
    const int formWidth = form ? form->Width() : 0;
    const int formHeight = form ? form->Height() : 0;
    if (orientation == 0) {
        Interaction = ibMoveX;
        ParentHeight = formHeight;
        Line->SetBounds(Left() + Width() / 2, 0, 1, formHeight);
    } else {
        Interaction = ibMoveY;
        ParentWidth = formWidth;
        Line->SetBounds(0, Top() + Height() / 2, formWidth, 1);
    }
    ShowPositionText();
    Line->show();
    show();
}

TDynMarginPanel::~TDynMarginPanel()
{
    delete editor_.data();
    delete Line.data();
    if (TheDesigner)
        for (TDynMarginPanel*& guide : TheDesigner->HelpLineGuides)
            if (guide == this)
                guide = nullptr;
}

void TDynMarginPanel::ShowPositionText()
{
    if (!Line)
        return;
    SetText(Orientation == 0 ? MmText(PixelsToMmX(Line->Left())) : MmText(PixelsToMmY(Line->Top())));
}

void TDynMarginPanel::TakeLineOffsets()
{
    // Guide and line lie on the same form as a rule; then only half the guide's size remains.
    const QPoint origin = Line ? MapBetween(parentWidget(), Line->parentWidget(), QPoint(0, 0)) : QPoint(0, 0);
    LineOffsetX = origin.x() + Width() / 2;
    LineOffsetY = origin.y() + Height() / 2;
}

void TDynMarginPanel::Place(int left, int top, int width, int height)
{
    SetBounds(left, top, width, height);
    if (!Dragging)
        TakeLineOffsets();
    if (!Line)
        return;
    if (Orientation == 0)
        Line->SetBounds(Left() + LineOffsetX, 0, 1, ParentHeight);
    else
        Line->SetBounds(0, Top() + LineOffsetY, ParentWidth, 1);
    ShowPositionText();
}

void TDynMarginPanel::ApplyTypedValue(const QString& text)
{
    bool ok = false;
    int v = text.trimmed().toInt(&ok);
    if (!ok)
        v = 0;
    const int formWidth = Form ? Form->Width() : ParentWidth;
    const int formHeight = Form ? Form->Height() : ParentHeight;
    if (Orientation == 1) {
        SetTop(static_cast<int>(MmToPixelsY(v)) - Height() / 2);
        ParentWidth = formWidth;
        if (Line)
            Line->SetBounds(0, Height() / 2 + Top(), formWidth, 1);
    } else {
        SetLeft(static_cast<int>(MmToPixelsX(v)) - Width() / 2);
        ParentHeight = formHeight;
        if (Line)
            Line->SetBounds(Width() / 2 + Left(), 0, 1, formHeight);
        UpdateThroughLines();
    }
    // The text shows the value the guide now stands at.
    SetText(QString::number(v));
    if (Line)
        Line->BringToFront();
    BringToFront();
    Modified = true;
}

void TDynMarginPanel::UpdateThroughLines()
{
    if (Orientation != 0 || !Line)
        return;
    for (TGridLine* through : {HeaderLine.data(), FooterLine.data()}) {
        if (!through || !through->parentWidget())
            continue;
        const QPoint p = MapBetween(Line->parentWidget(), through->parentWidget(), Line->pos());
        through->SetBounds(p.x(), 0, 1, through->parentWidget()->height());
        through->BringToFront();
    }
}

void TDynMarginPanel::MoveOntoCurrentForm()
{
    if (!CurrentForm)
        return;
    Form = CurrentForm;
    SetParent(CurrentForm);
    if (Line)
        Line->SetParent(CurrentForm);
    if (Line)
        Line->BringToFront();
    BringToFront();
}

void TDynMarginPanel::ShiftTop(Int32 d)
{
    SetTop(Top() + d);
    if (Line)
        Line->SetTop(Line->Top() + d);
}

void TDynMarginPanel::ShiftLeft(Int32 d)
{
    SetLeft(Left() + d);
    if (Line)
        Line->SetLeft(Line->Left() + d);
}

// ---- dragging ----

void TDynMarginPanel::BeginDrag(int x, int y)
{
    StartPoint = QPoint(x, y);
    Dragging = true;
    setCursor(Qt::PointingHandCursor);
    TakeLineOffsets();
}

void TDynMarginPanel::DragTo(int x, int y)
{
    const int dx = (Interaction & ibMoveX) ? x - StartPoint.x() : 0;
    const int dy = (Interaction & ibMoveY) ? y - StartPoint.y() : 0;
    Place(Left() + dx, Top() + dy, Width(), Height());
    UpdateThroughLines();
}

void TDynMarginPanel::EndDrag()
{
    if (Dragging)
        unsetCursor();
    Dragging = false;
}

void TDynMarginPanel::MouseDownLeft(int x, int y, QPoint)
{
    if (AllLocked)
        return;
    if (Line)
        Line->BringToFront();
    BeginDrag(x, y);
}

void TDynMarginPanel::MouseMoved(int x, int y, QPoint, Qt::MouseButtons)
{
    if (AllLocked || !Dragging)
        return;
    DragTo(x, y);
}

void TDynMarginPanel::MouseUpLeft(int, int, QPoint)
{
    EndDrag();
}

// ---- typed values ----

void TDynMarginPanel::mouseDoubleClickEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() == Qt::LeftButton && !AllLocked)
        BeginEdit();
}

void TDynMarginPanel::BeginEdit()
{
    if (editor_ || !parentWidget())
        return;
    auto* edit = new QLineEdit(parentWidget());
    edit->setFrame(false);
    edit->setAlignment(Qt::AlignCenter);
    edit->setFont(Font().ToQFont());
    edit->setText(Text());
    edit->setGeometry(Left(), Top(), qMax(40, Width()), Height());
    edit->installEventFilter(this);
    // Leaving the editor discards what was typed; Enter applies it (eventFilter).
    connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
        if (editor_ == edit)
            CloseEditor();
    });
    editor_ = edit;
    edit->selectAll();
    edit->show();
    edit->raise();
    edit->setFocus();
}

void TDynMarginPanel::CloseEditor()
{
    if (QLineEdit* edit = editor_) {
        editor_ = nullptr;
        edit->removeEventFilter(this);
        edit->hide();
        edit->deleteLater();
    }
}

bool TDynMarginPanel::eventFilter(QObject* watched, QEvent* e)
{
    if (editor_ && watched == editor_ && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Escape) {
            CloseEditor();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QString typed = editor_->text();
            CloseEditor();
            ApplyTypedValue(typed);
            return true;
        }
    }
    // The help lines on header and footer keep their place when those move or change size.
    if ((e->type() == QEvent::Move || e->type() == QEvent::Resize) && watched->isWidgetType() &&
        ((HeaderLine && watched == HeaderLine->parentWidget()) || (FooterLine && watched == FooterLine->parentWidget())))
        UpdateThroughLines();
    return TDYNSimpelPanel::eventFilter(watched, e);
}

// ---- the designer's help lines ----

void TDynMarginPanel::CreateHelpLines(TObjectgenerator* designer, TDynDBForm* form,
                                      std::array<TDynMarginPanel*, 4>& guides, std::array<TGridLine*, 4>& lines)
{
    FreeHelpLines(guides, lines);
    if (!form)
        return;
    struct Placement { Int16 orientation; int left, top; };
    static constexpr Placement places[4] = {{0, 120, 4}, {0, 30, 4}, {1, 4, 50}, {1, 4, 200}};
    for (size_t i = 0; i < guides.size(); ++i) {
        guides[i] = new TDynMarginPanel(designer, places[i].orientation, form);
        guides[i]->Place(places[i].left, places[i].top, 10, 20);
    }
    // Lines 0 and 2 continue the guide at 30, lines 1 and 3 the guide at 120.
    TDynMarginPanel* first = guides[1];
    TDynMarginPanel* second = guides[0];
    THeader* hosts[2] = {form->Header, form->Footer};
    for (int h = 0; h < 2; ++h) {
        THeader* host = hosts[h];
        if (!host)
            continue;
        for (int k = 0; k < 2; ++k) {
            auto* line = new TGridLine(designer, 0, host);
            line->show();
            lines[size_t(2 * h + k)] = line;
            host->HelpLines[size_t(k)] = line;
            TDynMarginPanel* owner = k == 0 ? first : second;
            (h == 0 ? owner->HeaderLine : owner->FooterLine) = line;
            host->installEventFilter(owner);
        }
    }
    first->UpdateThroughLines();
    second->UpdateThroughLines();
}

void TDynMarginPanel::FreeHelpLines(std::array<TDynMarginPanel*, 4>& guides, std::array<TGridLine*, 4>& lines)
{
    for (TGridLine*& line : lines) {
        delete line;
        line = nullptr;
    }
    for (TDynMarginPanel*& guide : guides) {
        delete guide;
        guide = nullptr;
    }
}
