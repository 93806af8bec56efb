#include "gui/Utf8Locale.h"

#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <QtGlobal>

namespace quelvane {

namespace {

struct Category {
    int id;
    const char *name;
};
// LC_CTYPE first: it is the one that changes.
const Category kCategories[] = {
    {LC_CTYPE, "LC_CTYPE"},       {LC_NUMERIC, "LC_NUMERIC"},
    {LC_TIME, "LC_TIME"},         {LC_COLLATE, "LC_COLLATE"},
    {LC_MONETARY, "LC_MONETARY"}, {LC_MESSAGES, "LC_MESSAGES"},
    {LC_PAPER, "LC_PAPER"},       {LC_NAME, "LC_NAME"},
    {LC_ADDRESS, "LC_ADDRESS"},   {LC_TELEPHONE, "LC_TELEPHONE"},
    {LC_MEASUREMENT, "LC_MEASUREMENT"}, {LC_IDENTIFICATION, "LC_IDENTIFICATION"},
};

bool IsUtf8(const char *codeset)
{
    return ::strcasecmp(codeset, "UTF-8") == 0 || ::strcasecmp(codeset, "utf8") == 0;
}

bool Installed(const QByteArray &name)
{
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, name.constData(), locale_t(nullptr));
    if (locale == locale_t(nullptr))
        return false;
    const bool utf8 = IsUtf8(::nl_langinfo_l(CODESET, locale));
    ::freelocale(locale);
    return utf8;
}

// de_DE@euro and de_DE.ISO-8859-1 become de_DE.UTF-8 where that is installed.
QByteArray Utf8Form(QByteArray name)
{
    if (const qsizetype cut = name.indexOf('.'); cut >= 0)
        name.truncate(cut);
    if (const qsizetype cut = name.indexOf('@'); cut >= 0)
        name.truncate(cut);
    name += ".UTF-8";
    return Installed(name) ? name : QByteArray("C.UTF-8");
}

} // namespace

Utf8CharacterType::Utf8CharacterType()
{
    // What the environment gives each category, read the way Qt will read it.
    const QByteArray before = ::setlocale(LC_ALL, nullptr);
    const bool applied = ::setlocale(LC_ALL, "") != nullptr;
    const bool utf8 = applied && IsUtf8(::nl_langinfo(CODESET));
    std::vector<QByteArray> names;
    for (const Category &category : kCategories)
        names.push_back(applied ? QByteArray(::setlocale(category.id, nullptr)) : QByteArray("C"));
    ::setlocale(LC_ALL, before.constData());
    if (utf8)
        return;

    auto set = [this](const char *variable, const QByteArray &value) {
        saved_.emplace_back(variable, qEnvironmentVariableIsSet(variable) ? qgetenv(variable) : QByteArray());
        if (value.isNull())
            qunsetenv(variable);
        else
            qputenv(variable, value);
    };
    // LC_ALL would override the category variables, so each category is named on its own.
    set("LC_ALL", QByteArray());
    for (size_t i = 0; i < std::size(kCategories); ++i)
        set(kCategories[i].name, i == 0 ? Utf8Form(names[i]) : names[i]);
}

void Utf8CharacterType::Restore()
{
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        if (it->second.isNull())
            qunsetenv(it->first);
        else
            qputenv(it->first, it->second);
    }
    saved_.clear();
}

} // namespace quelvane
