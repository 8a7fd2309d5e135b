#include "objects/PaList.h"
#include <algorithm>

int TPaList::IndexOf(const TPropertyRowBase* row) const
{
    const auto it = std::find(rows_.begin(), rows_.end(), row);
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

std::vector<TPropertyRowBase*>& GlobalPropertyRows()
{
    static std::vector<TPropertyRowBase*> rows;
    return rows;
}
