#include "forms/Forms.h"

#include "forms/FormInstance.h"
#include "forms/about/frmAbout.h"
#include "forms/sheet/OutputForm.h"
#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewSkills.h"
#include "forms/viewers/ViewStats.h"

namespace quelvane {

void UnloadViewersAndSheet()
{
    FormInstance<ViewStats>::Unload();
    FormInstance<ViewSkills>::Unload();
    FormInstance<ViewSecret>::Unload();
    FormInstance<OutputForm>::Unload();
}

void UnloadAllForms()
{
    UnloadViewersAndSheet();
    FormInstance<frmAbout>::Unload();
}

} // namespace quelvane
