#include "data/CloneTable.h"
#include <algorithm>

void TCloneSource::Link(TDynPanel* object)
{
    if (!IsLinked(object))
        LinkedObjects.push_back(object);
}

void TCloneSource::Unlink(TDynPanel* object)
{
    LinkedObjects.erase(std::remove(LinkedObjects.begin(), LinkedObjects.end(), object), LinkedObjects.end());
}

bool TCloneSource::IsLinked(const TDynPanel* object) const
{
    return std::find(LinkedObjects.begin(), LinkedObjects.end(), object) != LinkedObjects.end();
}
