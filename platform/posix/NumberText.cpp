#include "platform/NumberText.h"

#include <cstdlib>
#include <locale.h>

namespace
{
locale_t CLocale()
{
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return loc;
}
} // namespace

long long CLocaleTextToInteger(const char* pszText)
{
    return strtoll_l(pszText, nullptr, 10, CLocale());
}

double CLocaleTextToDouble(const char* pszText)
{
    return strtod_l(pszText, nullptr, CLocale());
}
