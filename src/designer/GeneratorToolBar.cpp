// The designer's toolbar: seven buttons with pictures drawn here.
#include "designer/GeneratorToolBar.h"
#include "designer/Objectgenerator.h"
#include "designer/PanelMenu.h"
#include "shell/Texts.h"
#include "shell/Variable.h"
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

namespace {
void DrawPage(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    QPainterPath page;
    const qreal fold = 3;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.drawPath(page);
    p.setPen(QPen(Qt::gray, 1));
    for (qreal y = r.top() + 4; y < r.bottom() - 1; y += 2.5)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void DrawPower(QPainter& p, const QColor& color)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(color);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4.5, 5, 7, 7), 120 * 16, 300 * 16);
    p.drawLine(QPointF(8, 3.5), QPointF(8, 8));
}
} // namespace

QPixmap TGeneratorToolBar::ToolImage(int index)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    switch (index) {
    case 0: { // open: an open folder
        p.setPen(QPen(QColor(128, 96, 0), 1));
        p.setBrush(QColor(230, 190, 60));
        p.drawRect(QRectF(1.5, 4.5, 11, 9));
        p.drawRect(QRectF(1.5, 3.5, 5, 2));
        p.setBrush(QColor(250, 220, 110));
        QPolygonF lid;
        lid << QPointF(3.5, 7.5) << QPointF(14.5, 7.5) << QPointF(12.5, 13.5) << QPointF(1.5, 13.5);
        p.drawPolygon(lid);
        break;
    }
    case 1: { // save: a disk
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(40, 70, 160));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(3.5, 9.5, 9, 5));
        break;
    }
    case 2: { // print: a printer
        DrawPage(p, QRectF(4.5, 1.5, 7, 6));
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(190, 190, 190));
        p.drawRect(QRectF(1.5, 7.5, 13, 5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 11.5, 7, 3));
        break;
    }
    case 3: // the designer is on: pressing switches it off
        DrawPower(p, QColor(20, 150, 40));
        break;
    case 4: // copy: two pages
        DrawPage(p, QRectF(1.5, 1.5, 8, 10));
        DrawPage(p, QRectF(6.5, 4.5, 8, 10));
        break;
    case 5: { // add object from the clipboard: a clipboard with a page
        p.setPen(QPen(QColor(90, 60, 20), 1));
        p.setBrush(QColor(170, 120, 60));
        p.drawRect(QRectF(1.5, 2.5, 10, 12));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4.5, 1.5, 4, 3));
        DrawPage(p, QRectF(6.5, 6.5, 8, 8));
        break;
    }
    case 6: { // cut: scissors
        p.setPen(QPen(Qt::black, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(4, 1.5), QPointF(10.5, 10));
        p.drawLine(QPointF(12, 1.5), QPointF(5.5, 10));
        p.setPen(QPen(QColor(180, 0, 0), 1.5));
        p.drawEllipse(QRectF(1.5, 9.5, 4.5, 4.5));
        p.drawEllipse(QRectF(10, 9.5, 4.5, 4.5));
        break;
    }
    case 7: { // preview: a page under a magnifier
        DrawPage(p, QRectF(1.5, 1.5, 10, 13));
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(QColor(200, 230, 255, 200));
        p.drawEllipse(QRectF(6.5, 5.5, 6, 6));
        p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11.5, 10.5), QPointF(14.5, 14));
        break;
    }
    case 15: // the designer is off: pressing switches it on
        DrawPower(p, QColor(200, 30, 30));
        break;
    default: // images the toolbar does not show: a plain page
        if (index >= 0 && index < ImageCount)
            DrawPage(p, QRectF(3.5, 1.5, 9, 13));
        break;
    }
    return pm;
}

TGeneratorToolBar::TGeneratorToolBar(TObjectgenerator* designer, QWidget* parent)
    : QToolBar(parent), designer_(designer)
{
    setIconSize(QSize(16, 16));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(clSilver));
    pal.setColor(QPalette::Button, ToQColor(clSilver));
    setPalette(pal);
    setContentsMargins(1, 0, 0, 0);
    if (layout())
        layout()->setSpacing(0);
    if (parent) {
        auto* fill = qobject_cast<QHBoxLayout*>(parent->layout());
        if (!fill && !parent->layout()) {
            fill = new QHBoxLayout(parent);
            fill->setContentsMargins(0, 0, 0, 0);
        }
        if (fill)
            fill->addWidget(this);
    }
    CreateStandardToolBar();
}

QToolButton* TGeneratorToolBar::AddButton(const QString& hint, int image)
{
    auto* b = new QToolButton(this);
    b->setIcon(QIcon(ToolImage(image)));
    b->setToolTip(hint);
    b->setAutoRaise(false);
    // Seven buttons fit the designer's width.
    b->setFixedSize(22, 22);
    addWidget(b);
    return b;
}

void TGeneratorToolBar::CreateStandardToolBar()
{
    PreViewButton = AddButton(Texts(99), 7);
    addSeparator();
    CutButton = AddButton(Texts(241), 6);
    CopyButton = AddButton(Texts(193), 4);
    EinButton = AddButton(Texts(36), 5);
    addSeparator();
    SaveButton = AddButton(Texts(245), 1);
    OpenButton = AddButton(Texts(246), 0);
    GeneratorButton = AddButton(Texts(247), 3);
    connect(PreViewButton, &QToolButton::clicked, this, &TGeneratorToolBar::PreViewButtonClick);
    connect(CutButton, &QToolButton::clicked, this, &TGeneratorToolBar::PasteButtonClick);
    connect(CopyButton, &QToolButton::clicked, this, &TGeneratorToolBar::CopyButtonClick);
    connect(EinButton, &QToolButton::clicked, this, &TGeneratorToolBar::EinButtonClick);
    connect(SaveButton, &QToolButton::clicked, this, &TGeneratorToolBar::SaveButtonClick);
    connect(OpenButton, &QToolButton::clicked, this, &TGeneratorToolBar::OpenButtonClick);
    connect(GeneratorButton, &QToolButton::clicked, this, [this] { designer_->TogglePropertyPages(this); });
    PreViewButton->setEnabled(TPanelMenu::PreviewAvailable());
    GeneratorImage = 3;
}

void TGeneratorToolBar::EnableEditButtons(bool value)
{
    for (QToolButton* b : {CutButton, CopyButton, EinButton})
        b->setEnabled(value);
}

void TGeneratorToolBar::SetGeneratorImage(int index)
{
    GeneratorImage = index;
    GeneratorButton->setIcon(QIcon(ToolImage(index)));
}

// ---- the published handlers ----

void TGeneratorToolBar::PreViewButtonClick()
{
    if (designer_->Menu)
        designer_->Menu->RunPreview();
}

void TGeneratorToolBar::PasteButtonClick()
{
    designer_->CutObject();
}

void TGeneratorToolBar::CopyButtonClick()
{
    designer_->CopyObject();
}

void TGeneratorToolBar::EinButtonClick()
{
    designer_->PasteObject();
}

void TGeneratorToolBar::SaveButtonClick()
{
    designer_->SaveProjectFile(false);
}

void TGeneratorToolBar::OpenButtonClick()
{
    designer_->OpenProject();
}

// ---- what the designer calls ----

TGeneratorToolBar* CreateGeneratorToolBar(TObjectgenerator* designer, QWidget* parent)
{
    return new TGeneratorToolBar(designer, parent);
}

void TObjectgenerator::ToolBarPagesShown(bool shown)
{
    if (!ToolBar)
        return;
    ToolBar->EnableEditButtons(shown);
    ToolBar->SetGeneratorImage(shown ? 3 : 15);
}
