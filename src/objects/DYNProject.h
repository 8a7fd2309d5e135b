#pragma once
// TDYNProject: what the user designs and saves: the database forms, each on its own tab page,
// with the project's data sources and pictures; reads and writes the project file.
#include "objects/BilderListe.h"
#include "objects/DYNPanel.h"
#include <QTabWidget>

class TDynDBForm;

class TDYNProject : public TDynPanel {
    Q_OBJECT
public:
    TDYNProject(TComponent* owner, QWidget* parent);
    ~TDYNProject() override;

    QTabWidget* PageControl = nullptr;
    bool EmbedPictures = false;
    TObjectList DataSources;
    TBilderList Pictures;
    QString ProjectWorkDir;

    // The project the designer works on (nil before the first one exists).
    static TDYNProject* Current();

    int FormCount() const { return Children->Count(); }
    TDynDBForm* Form(int i) const;

    void Activate() override;
    TDynDBForm* NewForm();
    // Writes the project file; false (with its message shown) when it could not be written.
    bool SaveProject(const QString& fileName);
    // Reads a project file into this (empty) project; false (with its message shown) when the file
    // could not be read: the project is then empty with one new form.
    bool LoadProject(const QString& fileName);
    void PageChanged();
    void UpdateActiveForm();
    void CollectHostDataSources();
    // Frees every form and data source (the picture list empties with them).
    void ClearProject();
    // The file being written is the designer's backup file: no message on a write error.
    QString BackupFileName;
};
