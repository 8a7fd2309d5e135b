#include "objects/NullPanel.h"
#include "objects/ObjectList.h"
#include "platform/MemoryStream.h"
#include "shell/Variable.h"

TNullPanel::TNullPanel(TComponent* owner, QWidget* parent) : TPanel(owner, parent)
{
    KindInfo = KindByCode(kcNone);
    hide();
    BevelInner = TBevelCut::bvNone;
    BevelOuter = TBevelCut::bvNone;
    BorderStyle = TBorderStyle::bsNone;
    TFont f;
    f.Charset = 0;
    f.Color = clWindowText;
    f.SetHeight(-13);
    f.Name = QStringLiteral("Arial");
    SetFont(f);
}

TNullPanel::~TNullPanel()
{
    // An object freed on its own leaves the list that holds it.
    if (OwnerList)
        OwnerList->Unlink(this);
}

TMemoryStream& TNullPanel::Stream()
{
    if (!SharedStream)
        throw EStreamError("no stream to read or write");
    return *SharedStream;
}

void TNullPanel::LoadFromStream()
{
    TMemoryStream& s = Stream();
    RecordStart = s.ReadInt32();
    RecordEnd = s.ReadInt32();
    Name = ReadText(s);
}

void TNullPanel::SaveToStream()
{
    TMemoryStream& s = Stream();
    RecordStart = RecordEnd = static_cast<Int32>(s.Position());
    s.WriteInt32(RecordStart);
    s.WriteInt32(RecordStart); // the end, written by CloseRecord
    WriteText(s, Name);
}

void TNullPanel::ReadField(void* buffer, int size)
{
    TMemoryStream& s = Stream();
    if (RecordStart != RecordEnd && s.Position() + size > RecordEnd)
        return;
    s.ReadBuffer(buffer, size);
}

void TNullPanel::ReadFieldBool(bool& value)
{
    quint8 b = value ? 1 : 0;
    ReadField(&b, 1);
    value = b != 0;
}

void TNullPanel::WriteField(const void* buffer, int size)
{
    Stream().WriteBuffer(buffer, size);
}

void TNullPanel::SetpIndex(const QString&) {}

void TNullPanel::CloseRecord()
{
    TMemoryStream& s = Stream();
    RecordEnd = static_cast<Int32>(s.Position());
    s.SetPosition(RecordStart + 4);
    s.WriteInt32(RecordEnd);
    s.SetPosition(RecordEnd);
}
