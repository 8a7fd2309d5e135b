#pragma once
// A designer stand-in for object tests: it records what objects ask of the designer.
#include "objects/DesignerLink.h"
#include <QRect>

class TDynPanel;
class TDYNSimpelPanel;

class RecordingDesigner : public TDesignerLink {
public:
    int handlesShown = 0, handlesHidden = 0, refreshes = 0;
    QRect lastReport;
    TDYNSimpelPanel* handlesOn = nullptr;
    TDynPanel* rowsOf = nullptr;
    void ShowHandles(TDYNSimpelPanel* o) override
    {
        ++handlesShown;
        handlesOn = o;
    }
    void HideHandles() override { ++handlesHidden; }
    void ReportPosition(int l, int t, int w, int h) override { lastReport = QRect(l, t, w, h); }
    void RefreshDesigner() override { ++refreshes; }
    void ShowPropertyRows(TDynPanel* o) override { rowsOf = o; }
    void HidePropertyPage() override {}
    void EnableObjectMenu(bool) override {}
    void SetFormMoving(bool) override {}
    void PopupContextMenu(QPoint) override {}
    void ObjectDestroyed(TDynPanel*) override {}
    void RefillPictureChooser() override {}
    void SaveObject(TDynPanel*, bool) override {}
};
