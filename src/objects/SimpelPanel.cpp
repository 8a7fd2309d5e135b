#include "objects/SimpelPanel.h"

TSimpelPanel::TSimpelPanel(TComponent* owner, QWidget* parent) : TNullPanel(owner, parent)
{
    if (owner)
        NumberText = QString::number(owner->ComponentCount());
    KindInfo = KindByCode(kcSimpel);
    SetCaption(NumberText);
    Children = std::make_unique<TObjectList>(50);
}

TSimpelPanel::~TSimpelPanel()
{
    // The children go before Qt deletes the child widgets.
    Children.reset();
}
