#pragma once
// TDynDBForm: the database form, the page every other object of a project lives on.
#include "objects/DYNPanel.h"

class TDynDBForm : public TDynPanel {
public:
    TDynDBForm(TComponent* owner, QWidget* parent) : TDynPanel(owner, parent) { KindInfo = KindByCode(kcDBForm); }
};
