#include "objects/BilderListe.h"
#include "objects/ProjectContext.h"
#include "objects/RemovedObjects.h"
#include "platform/Jpeg.h"
#include "platform/MemoryStream.h"
#include <QBuffer>
#include <QFileInfo>

namespace {
// The name's extension in capitals, cut to 4 characters (".JPEG" gives ".JPE").
QString ExtensionKey(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    return suffix.isEmpty() ? QString() : ('.' + suffix).toUpper().left(4);
}

// The file name without its path; both kinds of separator count.
QString WithoutPath(const QString& fileName)
{
    const qsizetype cut = std::max(fileName.lastIndexOf('/'), fileName.lastIndexOf('\\'));
    return fileName.mid(cut + 1);
}

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.isNull())
        image.save(&buffer, format);
    return bytes;
}

// The picture as it saves itself: bitmaps as BMP data, icons and metafiles as the bytes they
// came from.
QByteArray GraphicBytes(const TBKImage& e)
{
    switch (e.GraphicKind) {
    case TBKImage::TGraphicKind::Bitmap:
        return Encoded(e.Bitmap, "BMP");
    case TBKImage::TGraphicKind::Icon:
        return e.RawData.isEmpty() ? Encoded(e.Bitmap, "ICO") : e.RawData;
    case TBKImage::TGraphicKind::Metafile:
        return e.RawData;
    case TBKImage::TGraphicKind::Empty:
        break;
    }
    return {};
}

// Fills an entry from embedded bytes by the extension of its name; bytes that cannot be
// decoded leave it empty (it keeps its place, which objects refer to).
void TakeGraphic(TBKImage& e, const QByteArray& bytes)
{
    const QString ext = ExtensionKey(e.FileName);
    if (ext == QStringLiteral(".BMP") || ext == QStringLiteral(".JPG")) {
        QImage image;
        if (image.loadFromData(bytes, "BMP") || image.loadFromData(bytes)) {
            e.Bitmap = image;
            e.GraphicKind = TBKImage::TGraphicKind::Bitmap;
        }
    } else if (ext == QStringLiteral(".ICO")) {
        QImage image;
        if (image.loadFromData(bytes, "ICO")) {
            e.Bitmap = image;
            e.RawData = bytes;
            e.GraphicKind = TBKImage::TGraphicKind::Icon;
        }
    } else if (ext == QStringLiteral(".WMF") || ext == QStringLiteral(".EMF")) {
        e.RawData = bytes;
        e.GraphicKind = TBKImage::TGraphicKind::Metafile;
    }
}

// The position where an entry that is passed over ends: its end field measured from its start.
qint64 EntryEnd(const TMemoryStream& s, qint64 startAt, Int32 start, Int32 end)
{
    const qint64 target = startAt + (static_cast<qint64>(end) - start);
    if (target < s.Position() || target > s.Size())
        throw EStreamError("picture entry at position " + std::to_string(startAt) + " ends at "
                           + std::to_string(end) + ", outside the stream");
    return target;
}
} // namespace

TBilderList::~TBilderList()
{
    for (int i = 0; i < Count(); ++i)
        RemovedObjects().ForgetPicture(Entry(i));
}

void TBilderList::FreeEntry(int i)
{
    if (i < 0 || i >= Count())
        return;
    RemovedObjects().ForgetPicture(Entry(i));
    FreeAt(i);
}

void TBilderList::Add(TComponent* entry)
{
    auto* e = dynamic_cast<TBKImage*>(entry);
    if (!e || Contains(e))
        return;
    items_.push_back(e);
    e->PictureIndex = Count() - 1;
    LastAdded = e;
}

TBKImage* TBilderList::FindPicture(const QString& fileName) const
{
    for (int i = 0; i < Count(); ++i)
        if (Entry(i)->FileName == fileName)
            return Entry(i);
    return nullptr;
}

TBKImage* TBilderList::LoadPicture(const QString& fileName)
{
    if (TBKImage* found = FindPicture(fileName))
        return found;
    const QString ext = ExtensionKey(fileName);
    if (ext != QStringLiteral(".BMP") && ext != QStringLiteral(".JPG"))
        return nullptr;
    auto entry = std::make_unique<TBKImage>();
    if (ext == QStringLiteral(".BMP")) {
        if (!entry->Bitmap.load(fileName, "BMP"))
            return nullptr;
    } else {
        QImage decoded;
        if (!LoadJpegFile(fileName, decoded))
            return nullptr;
        entry->Bitmap = decoded.convertToFormat(QImage::Format_RGB888);
    }
    entry->GraphicKind = TBKImage::TGraphicKind::Bitmap;
    entry->PictureIndex = Count();
    entry->FileName = fileName;
    entry->ShortName = WithoutPath(fileName);
    TBKImage* e = entry.release();
    Add(e);
    return e;
}

void TBilderList::ReleaseUse(TBKImage* entry)
{
    if (!entry)
        return;
    entry->UseCount = std::max(0, entry->UseCount - 1);
    if (entry->UseCount == 0) {
        FreeEntry(IndexOf(entry));
        Renumber();
    }
}

void TBilderList::Renumber()
{
    for (int i = 0; i < Count(); ++i)
        Entry(i)->PictureIndex = i;
}

void TBilderList::SaveToStream(TMemoryStream& stream)
{
    for (int i = Count() - 1; i >= 0; --i)
        if (Entry(i)->UseCount == 0)
            FreeEntry(i);
    Renumber();
    const bool embed = ProjectContext().EmbedPictures;
    stream.WriteInt32(Count());
    for (int i = 0; i < Count(); ++i) {
        const TBKImage& e = *Entry(i);
        entryStart_ = static_cast<Int32>(stream.Position());
        stream.WriteInt32(entryStart_);
        entryEndField_ = static_cast<Int32>(stream.Position());
        stream.WriteInt32(entryStart_);
        WriteText(stream, e.FileName);
        if (embed) {
            const QByteArray bytes = GraphicBytes(e);
            stream.WriteInt32(static_cast<Int32>(bytes.size()));
            stream.WriteBytes(bytes);
        }
        const Int32 end = static_cast<Int32>(stream.Position());
        stream.SetPosition(entryEndField_);
        stream.WriteInt32(end);
        stream.SetPosition(end);
    }
}

void TBilderList::LoadFromStream(TMemoryStream& stream)
{
    const qint64 at = stream.Position();
    const Int32 n = stream.ReadInt32();
    // An entry is two positions and a name's length at least.
    if (n < 0 || n > stream.Remaining() / 12) {
        stream.SetPosition(at);
        throw EStreamError("picture list of " + std::to_string(n) + " entries at position " + std::to_string(at)
                           + " does not fit into the stream");
    }
    const bool embed = ProjectContext().EmbedPictures;
    // The entries are gathered apart and join the list when all were read.
    TBilderList read;
    for (Int32 i = 0; i < n; ++i) {
        const qint64 startAt = stream.Position();
        entryStart_ = stream.ReadInt32();
        const Int32 end = stream.ReadInt32();
        entryEndField_ = static_cast<Int32>(startAt + 4);
        const QString name = ReadText(stream);
        if (name == QStringLiteral("Datenbank")) {
            stream.SetPosition(EntryEnd(stream, startAt, entryStart_, end));
            continue;
        }
        TBKImage* entry = nullptr;
        if (embed) {
            auto made = std::make_unique<TBKImage>();
            made->FileName = name;
            made->UseCount = 0;
            const Int32 size = stream.ReadInt32();
            if (size != 0) // a negative size is refused by ReadBytes
                TakeGraphic(*made, stream.ReadBytes(size));
            entry = made.release();
            read.Add(entry);
        } else if (QFileInfo::exists(name)) {
            if (!FindPicture(name))
                entry = read.LoadPicture(name);
        } else {
            stream.SetPosition(EntryEnd(stream, startAt, entryStart_, end));
            continue;
        }
        if (entry)
            entry->ShortName = WithoutPath(name);
    }
    for (int i = 0; i < read.Count(); ++i)
        Add(read.Entry(i));
    read.UnlinkAll();
}
