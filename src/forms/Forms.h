// Program-wide operations on the set of windows.
#pragma once

namespace quelvane {

// Before the record is replaced (Generate, Load): close every window that shows it (ViewStats,
// ViewSkills, ViewSecret and OutputForm, in that order), so none goes on showing the old
// character.
void UnloadViewersAndSheet();

// At the end of the run: discard every window that is still loaded.
void UnloadAllForms();

} // namespace quelvane
