#pragma once
// What objects ask of the designer. The designer registers itself here; while no designer
// exists every call is skipped, so objects work on their own (tests, the batch tool).
#include "platform/Types.h"
#include <QPoint>

class TDynPanel;
class TDYNSimpelPanel;

class TDesignerLink {
public:
    virtual ~TDesignerLink() = default;
    virtual void ShowHandles(TDYNSimpelPanel* object) = 0;         // move the resize handles onto it
    virtual void HideHandles() = 0;                            // a move began
    virtual void ReportPosition(int left, int top, int width, int height) = 0;
    virtual void RefreshDesigner() = 0;                        // handles and property values
    virtual void ShowPropertyRows(TDynPanel* object) = 0;      // the rows of its property set
    virtual void HidePropertyPage() = 0;
    virtual void EnableObjectMenu(bool canCopy) = 0;
    virtual void SetFormMoving(bool moving) = 0;
    virtual void PopupContextMenu(QPoint screenPos) = 0;
    virtual void ObjectDestroyed(TDynPanel* object) = 0;
    virtual void RefillPictureChooser() = 0;
    virtual void SaveObject(TDynPanel* object, bool askName) = 0;
};

TDesignerLink* Designer();
void SetDesignerLink(TDesignerLink* link);
