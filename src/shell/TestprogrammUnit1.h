#pragma once
// The shell window of the program.
#include "platform/Component.h"
#include <QMainWindow>

class TOstrevoReportGenerator;

class TForm1 : public QMainWindow, public TComponent {
    Q_OBJECT
public:
    TForm1();
    ~TForm1() override;
    TOstrevoReportGenerator* Host() const { return host_; }

private:
    void FormCreate();
    TOstrevoReportGenerator* host_ = nullptr;
};
