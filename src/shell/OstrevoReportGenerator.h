#pragma once
// The host panel: the one component a host application places on its window. It fills the
// window and carries the designer.
#include "platform/Panel.h"
#include <QPointer>
#include <functional>

class TOstrevoReportGenerator : public TPanel {
    Q_OBJECT
public:
    // The designer factory is installed by the designer's unit; without one the host stays empty.
    using DesignerFactory = std::function<void(TOstrevoReportGenerator* host)>;
    static void SetDesignerFactory(DesignerFactory factory);

    TOstrevoReportGenerator(TComponent* owner, QWidget* parentWindow);
    ~TOstrevoReportGenerator() override;

    // Called when the host is resized (the designer re-lays out the project's pages).
    std::function<void()> OnResize;
    // The designer it carries; it goes first when the host goes, before the other children.
    QPointer<QWidget> DesignerWidget;

protected:
    void resizeEvent(QResizeEvent* e) override;
};
