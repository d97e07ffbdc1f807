// Number texts read as the C library reads them, always with the full stop as the decimal
// separator whatever the user's locale says.
#pragma once

// Leading blanks, a sign, digits; no digits gives 0, a number out of range the nearest one.
long long CLocaleTextToInteger(const char* pszText);
double CLocaleTextToDouble(const char* pszText);
