#include "objects/ProjectContext.h"

TProjectContext& ProjectContext()
{
    static TProjectContext context;
    return context;
}
