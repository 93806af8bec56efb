// The paper a sheet goes on when nobody chose one.
#pragma once

#include <QPageSize>

namespace quelvane {

// The paper of the user's locale (LC_ALL, LC_PAPER or LANG, as setlocale reads them), as the
// print system chooses it: US Letter where the locale's paper is letter-sized, A4 everywhere
// else and when the locale is not installed. Leaves the program's own locale alone.
QPageSize LocalePaperSize();

} // namespace quelvane
