#pragma once
// The kind descriptor: 32 bytes that name an object's class in files.
//   byte 0 name length (0..20), 1..20 name, 21..23 zero, 24..27 Int32 kind code,
//   28 CanCopy, 29 IsVisual, 30..31 zero.
#include "platform/Types.h"
#include <QByteArray>
#include <QString>
#include <array>

struct TKindInfo {
    QString Name;
    Int32 Code = 0;
    bool CanCopy = false;
    bool IsVisual = false;

    static constexpr int Size = 32;
    QByteArray ToBytes() const;
    // Reads a descriptor; false when the bytes cannot be one (wrong size or name length).
    static bool FromBytes(const QByteArray& bytes, TKindInfo& info);
    friend bool operator==(const TKindInfo&, const TKindInfo&) = default;
};

// Kind codes.
enum TKindCode : Int32 {
    kcNone = 0, kcDBEdit = 1, kcEdit = 2, kcDBImage = 5, kcNavigator = 6, kcGrid = 8, kcMultiPanel = 9,
    kcDBMemo = 10, kcLabel = 11, kcReport = 15, kcGraphik = 16, kcRichEdit = 17, kcDBGrid = 18,
    kcSTTabelle = 19, kcSimpel = 20, kcDBEtikett = 32, kcDBHilfsEtikettVert = 33, kcDBHilfsEtikettHorz = 34,
    kcDBForm = 100, kcHeader = 101, kcFooter = 102, kcForm = 110, kcProject = 1000, kcObPanel = 2000,
    kcRowColPanel = 2100, kcPrintZeile = 2105, kcColPanel = 2110, kcSTColPanel = 2120, kcDataSource = 2130,
    kcMarginPanel = 3000, kcDataSum = 4100, kcChart = 4200, kcBarCode = 5000
};

// The 33 kind constants, in the order of the table.
const std::array<TKindInfo, 33>& KindTable();
// The constant of a kind code; the empty descriptor for an unknown code.
const TKindInfo& KindByCode(Int32 code);
