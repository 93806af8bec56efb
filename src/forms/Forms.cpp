#include "forms/Forms.h"

#include "forms/FormInstance.h"
#include "forms/sheet/OutputForm.h"

namespace quelvane {

void UnloadViewersAndSheet()
{
    FormInstance<OutputForm>::Unload();
}

void UnloadAllForms()
{
    UnloadViewersAndSheet();
}

} // namespace quelvane
