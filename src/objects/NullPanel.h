#pragma once
// TNullPanel: an object's identity (kind, name, property set, owning list, host) and the
// framing of its record in the shared stream.
#include "objects/PropertySet.h"
#include "platform/Panel.h"
#include "shell/KindInfo.h"

class TObjectList;
class TDynPanel;
class TMemoryStream;

class TNullPanel : public TPanel {
    Q_OBJECT
public:
    TNullPanel(TComponent* owner, QWidget* parent);
    ~TNullPanel() override;

    TObjectList* OwnerList = nullptr;
    TPropertySet PropertySet;
    TKindInfo KindInfo;
    TDynPanel* Host = nullptr;
    QString pIndex;
    QString Name;
    Int32 RecordStart = 0;
    Int32 RecordEnd = 0;

    // The record in the shared stream.
    virtual void LoadFromStream();
    virtual void SaveToStream();
    // Reads size bytes unless the record's end is known and the read would pass it.
    virtual void ReadField(void* buffer, int size);
    virtual void WriteField(const void* buffer, int size);
    virtual void SetpIndex(const QString& value);
    void CloseRecord();

    // Typed forms of ReadField/WriteField.
    template <typename T> void ReadFieldValue(T& value) { ReadField(&value, sizeof(T)); }
    void ReadFieldBool(bool& value);
    template <typename T> void WriteFieldValue(const T& value) { WriteField(&value, sizeof(T)); }
    void WriteFieldBool(bool value) { const quint8 b = value ? 1 : 0; WriteField(&b, 1); }

    // The shared stream; throws EStreamError when there is none.
    static TMemoryStream& Stream();
};
