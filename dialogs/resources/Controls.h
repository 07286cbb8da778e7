#pragma once
// Resource ids of the shared controls (expression edit, balloon help).

#define IDS_INVALID_EQUATION 3045
#define IDS_INVALID_EQUATION_TEXT 3046
