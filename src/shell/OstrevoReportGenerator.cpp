#include "shell/OstrevoReportGenerator.h"
#include "shell/Variable.h"

namespace {
TOstrevoReportGenerator::DesignerFactory& Factory()
{
    static TOstrevoReportGenerator::DesignerFactory factory;
    return factory;
}
} // namespace

void TOstrevoReportGenerator::SetDesignerFactory(DesignerFactory factory)
{
    Factory() = std::move(factory);
}

TOstrevoReportGenerator::TOstrevoReportGenerator(TComponent* owner, QWidget* parentWindow)
    : TPanel(owner, parentWindow)
{
    SetAlign(TAlign::alClient);
    SetColor(DesignerColor);
    BorderStyle = TBorderStyle::bsNone;
    BevelInner = TBevelCut::bvNone;
    BevelOuter = TBevelCut::bvNone;
    BevelWidth = 1;
    if (Factory())
        Factory()(this);
}

TOstrevoReportGenerator::~TOstrevoReportGenerator()
{
    delete DesignerWidget.data();
}

void TOstrevoReportGenerator::resizeEvent(QResizeEvent* e)
{
    if (OnResize)
        OnResize();
    TPanel::resizeEvent(e);
}
