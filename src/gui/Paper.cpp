#include "gui/Paper.h"

#include <cstdint>
#include <langinfo.h>
#include <locale.h>

namespace quelvane {

QPageSize LocalePaperSize()
{
    const locale_t locale = ::newlocale(LC_PAPER_MASK, "", locale_t(nullptr));
    if (locale == locale_t(nullptr))
        return QPageSize(QPageSize::A4);
    // Number items come back in the pointer itself; the low 32 bits hold the millimetres.
    auto millimetres = [&](nl_item item) {
        return unsigned(reinterpret_cast<uintptr_t>(::nl_langinfo_l(item, locale)));
    };
    const bool letter = millimetres(_NL_PAPER_WIDTH) == 216 && millimetres(_NL_PAPER_HEIGHT) == 279;
    ::freelocale(locale);
    return QPageSize(letter ? QPageSize::Letter : QPageSize::A4);
}

} // namespace quelvane
