#include "forms/Forms.h"

namespace quelvane {

void UnloadViewersAndSheet()
{
}

void UnloadAllForms()
{
    UnloadViewersAndSheet();
}

} // namespace quelvane
