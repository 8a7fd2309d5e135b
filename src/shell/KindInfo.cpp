#include "shell/KindInfo.h"
#include <cstring>

QByteArray TKindInfo::ToBytes() const
{
    QByteArray b(Size, '\0');
    const QByteArray name = Name.toLatin1().left(20);
    b[0] = static_cast<char>(name.size());
    std::memcpy(b.data() + 1, name.constData(), static_cast<size_t>(name.size()));
    const quint32 c = static_cast<quint32>(Code);
    for (int i = 0; i < 4; ++i)
        b[24 + i] = static_cast<char>((c >> (8 * i)) & 0xFF);
    b[28] = CanCopy ? 1 : 0;
    b[29] = IsVisual ? 1 : 0;
    return b;
}

bool TKindInfo::FromBytes(const QByteArray& bytes, TKindInfo& info)
{
    if (bytes.size() != Size)
        return false;
    const int len = static_cast<unsigned char>(bytes[0]);
    if (len > 20)
        return false;
    TKindInfo k;
    k.Name = QString::fromLatin1(bytes.constData() + 1, len);
    quint32 c = 0;
    for (int i = 0; i < 4; ++i)
        c |= static_cast<quint32>(static_cast<unsigned char>(bytes[24 + i])) << (8 * i);
    k.Code = static_cast<Int32>(c);
    k.CanCopy = bytes[28] != 0;
    k.IsVisual = bytes[29] != 0;
    info = k;
    return true;
}

const std::array<TKindInfo, 33>& KindTable()
{
    static const std::array<TKindInfo, 33> table = {{
        {QString(), kcNone, false, false},
        {QStringLiteral("DBEdit"), kcDBEdit, true, true},
        {QStringLiteral("Edit"), kcEdit, true, true},
        {QStringLiteral("DBImage"), kcDBImage, true, true},
        {QStringLiteral("Navigator"), kcNavigator, false, true},
        {QStringLiteral("Grid"), kcGrid, true, true},
        {QStringLiteral("MultiPanel"), kcMultiPanel, false, false},
        {QStringLiteral("DBMemo"), kcDBMemo, true, true},
        {QStringLiteral("Label"), kcLabel, true, true},
        {QStringLiteral("Report"), kcReport, true, true},
        {QStringLiteral("Graphik"), kcGraphik, true, false},
        {QStringLiteral("RichEdit"), kcRichEdit, true, true},
        {QStringLiteral("DBGrid"), kcDBGrid, true, true},
        {QStringLiteral("STTabelle"), kcSTTabelle, true, true},
        {QStringLiteral("Simpel"), kcSimpel, false, false},
        {QStringLiteral("DBEtikett"), kcDBEtikett, true, true},
        {QStringLiteral("DBHilfsEtikettvert"), kcDBHilfsEtikettVert, false, true},
        {QStringLiteral("DBHilfsEtiketthorz"), kcDBHilfsEtikettHorz, false, true},
        {QStringLiteral("DBForm"), kcDBForm, true, true},
        {QStringLiteral("THeader"), kcHeader, false, true},
        {QStringLiteral("TFooter"), kcFooter, false, true},
        {QStringLiteral("Form"), kcForm, false, false},
        {QStringLiteral("Project"), kcProject, false, false},
        {QStringLiteral("TObPanel"), kcObPanel, false, true},
        {QStringLiteral("Row_ColPanel"), kcRowColPanel, false, false},
        {QStringLiteral("PrintZeile"), kcPrintZeile, false, false},
        {QStringLiteral("Row_ColPanel"), kcColPanel, false, false},
        {QStringLiteral("STColPanel"), kcSTColPanel, false, false},
        {QStringLiteral("DataSource"), kcDataSource, false, false},
        {QStringLiteral("MarginPanel"), kcMarginPanel, false, true},
        {QStringLiteral("DataSum"), kcDataSum, true, true},
        {QStringLiteral("Chart"), kcChart, true, true},
        {QStringLiteral("BarCode"), kcBarCode, true, true},
    }};
    return table;
}

const TKindInfo& KindByCode(Int32 code)
{
    for (const TKindInfo& k : KindTable())
        if (k.Code == code)
            return k;
    return KindTable()[0];
}
