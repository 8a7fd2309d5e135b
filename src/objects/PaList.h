#pragma once
// TPaList: a list of property rows that refers to the designer's rows without owning them.
#include "objects/PropertySet.h"
#include <QString>
#include <vector>

// What the object model needs to know of a property row: its identifier set.
class TPropertyRowBase {
public:
    virtual ~TPropertyRowBase() = default;
    TPropertySet Ids;
};

class TPaList {
public:
    int Count() const { return static_cast<int>(rows_.size()); }
    TPropertyRowBase* Items(int i) const { return rows_.at(static_cast<size_t>(i)); }
    void Add(TPropertyRowBase* row) { rows_.push_back(row); }
    void Clear() { rows_.clear(); }
    int IndexOf(const TPropertyRowBase* row) const;
    const std::vector<TPropertyRowBase*>& Rows() const { return rows_; }

private:
    std::vector<TPropertyRowBase*> rows_;
};

// The designer's global list of property rows, in table order (filled by the designer).
std::vector<TPropertyRowBase*>& GlobalPropertyRows();
