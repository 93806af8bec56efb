#include "forms/Forms.h"

#include "forms/FormInstance.h"
#include "forms/about/frmAbout.h"

namespace quelvane {

void UnloadViewersAndSheet()
{
}

void UnloadAllForms()
{
    UnloadViewersAndSheet();
    FormInstance<frmAbout>::Unload();
}

} // namespace quelvane
