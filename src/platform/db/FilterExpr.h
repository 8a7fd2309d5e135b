#pragma once
// The filter expressions of datasets, evaluated in memory against the record store.
//
//   [Name] = 'Smith'    Name <> 'it''s'    Price >= 12.5    OrderDate > '01.01.2020'
//   (City = 'Ber*' OR City = 'Rome') AND NOT Paid    Phone IS NULL    Email IS NOT NULL
//
// Comparisons = <> < > <= >=, AND/OR/NOT in any case, parentheses; values are quoted texts ('' for
// a quote), numbers (with the current decimal separator or a point), dates in the short date format
// (quoted, or bare as the designer writes them for date fields), TRUE/FALSE and NULL. Names are
// [bracketed] or plain and compared without regard to case. A text ending in '*' compared by = or <>
// matches every value that starts with the text before it, unless partial comparison is switched off.
#include "platform/db/FieldType.h"
#include "platform/db/RecordStore.h"
#include <QByteArray>
#include <QFlags>
#include <QString>
#include <vector>

enum TFilterOption { foCaseInsensitive = 1, foNoPartialCompare = 2 };
Q_DECLARE_FLAGS(TFilterOptions, TFilterOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFilterOptions)

// A field as the filter sees it: its name, type and column in the record store.
struct TFilterField {
    QString Name;
    TFieldType DataType = ftUnknown;
    int Column = -1;
};

class TFilterExpr {
public:
    // Parses and binds the text to the fields. On an error returns false with a message and leaves
    // the expression as it was. An empty or blank text gives an expression that passes every row.
    bool Compile(const QString& text, const std::vector<TFilterField>& fields, const TRecordStore& store,
                 TFilterOptions options, QString* error);
    // Checks the syntax only (names are not looked up).
    static bool CheckSyntax(const QString& text, QString* error);

    bool IsEmpty() const { return root_ < 0; }
    bool Matches(const TRecordStore& store, int row) const { return root_ < 0 || Eval(store, root_, row); }

    enum class NodeType : unsigned char {
        Const, And, Or, Not, IsNull, IntCmp, FloatCmp, TextCmp, TextPrefix, FieldCmp
    };
    enum class Op : unsigned char { Eq, Ne, Lt, Gt, Le, Ge };
    struct Node {
        NodeType Type = NodeType::Const;
        Op Cmp = Op::Eq;
        bool Flag = false;     // Const: the value; IsNull: negated; Text*: case-insensitive
        TValueKind KindA = TValueKind::Integer, KindB = TValueKind::Integer;
        int A = -1, B = -1;    // children, or columns
        std::int64_t IntValue = 0;
        double FloatValue = 0;
        bool IntegralValue = false;
        int TextIndex = -1;    // into texts_
    };

private:
    bool Eval(const TRecordStore& store, int node, int row) const;

    std::vector<Node> nodes_;
    std::vector<QByteArray> texts_;
    int root_ = -1;
};
