#pragma once
// TSimpelPanel: the list of child objects and the number that makes an object's name unique.
#include "objects/NullPanel.h"
#include "objects/ObjectList.h"
#include <memory>

class TSimpelPanel : public TNullPanel {
    Q_OBJECT
public:
    TSimpelPanel(TComponent* owner, QWidget* parent);
    ~TSimpelPanel() override;

    TColor BackColor = clWhite;
    std::unique_ptr<TObjectList> Children;
    QString NumberText;
    Int32 BaseTop = 0;
    Int32 BaseLeft = 0;
    bool ReportPosition = true;
};
