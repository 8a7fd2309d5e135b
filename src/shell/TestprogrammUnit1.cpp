#include "shell/TestprogrammUnit1.h"
#include "platform/Color.h"
#include "shell/OstrevoReportGenerator.h"
#include <QPalette>

TForm1::TForm1()
{
    setWindowTitle(QStringLiteral("Form1"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(clBtnFace));
    setPalette(pal);
    resize(740, 446);
    FormCreate();
}

TForm1::~TForm1()
{
    // The host and the designer inside it go before the window's other children.
    delete host_;
}

void TForm1::FormCreate()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    host_ = new TOstrevoReportGenerator(this, central);
}
