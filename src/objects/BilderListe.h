#pragma once
// TBilderList: the project's picture list. One shared entry per picture file, counted by
// the objects that use it.
#include "objects/ObjectList.h"
#include <QByteArray>
#include <QImage>
#include <QString>

class TBKImage : public TComponent {
public:
    enum class TGraphicKind { Empty, Bitmap, Icon, Metafile };

    Int32 PictureIndex = 0;
    Int32 UseCount = 0;
    QString ShortName;
    QString FileName;
    TGraphicKind GraphicKind = TGraphicKind::Empty;
    QImage Bitmap;        // bitmaps and icons
    QByteArray RawData;   // metafile bytes, kept so that they survive a save

    bool IsBitmap() const { return GraphicKind == TGraphicKind::Bitmap && !Bitmap.isNull(); }
    int Width() const { return Bitmap.width(); }
    int Height() const { return Bitmap.height(); }
};

class TBilderList : public TObjectList {
public:
    TBilderList() = default;
    ~TBilderList() override;

    TBKImage* Entry(int i) const { return static_cast<TBKImage*>(Items(i)); }
    void Add(TComponent* entry) override;
    // The entry of a file name (exact, case-sensitive), or nil.
    TBKImage* FindPicture(const QString& fileName) const;
    // The entry of a file, loading it on first use: .BMP and .JPG only; nil when it cannot be loaded.
    TBKImage* LoadPicture(const QString& fileName);
    // One use less; an entry no longer used is freed and the others renumbered.
    void ReleaseUse(TBKImage* entry);
    void Renumber();

    // Part of the project record. Saving first frees every entry no object uses and renumbers the
    // rest; then Int32 count and per entry: Int32 start, Int32 end, text FileName and, when the
    // project embeds its pictures, Int32 n and the n bytes of the picture.
    void SaveToStream(TMemoryStream& stream) override;
    // Reads the entries written by SaveToStream and adds them. Embedded pictures are taken from
    // the stream; otherwise each file is loaded again, and a missing file is left out. The
    // entries join the list only when all were read; a corrupt stream throws EStreamError and
    // leaves the list as it was.
    void LoadFromStream(TMemoryStream& stream) override;

private:
    // Frees entry i, after the objects kept aside by the designer's delete have let go of it.
    void FreeEntry(int i);
    // Where the entry being written or read began, and where its end field is.
    Int32 entryStart_ = 0;
    Int32 entryEndField_ = 0;
};
