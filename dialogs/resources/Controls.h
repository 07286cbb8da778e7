#pragma once
// Resource ids of the shared controls (expression edit, balloon help).

#define IDS_INVALID_EQUATION 3045
#define IDS_INVALID_EQUATION_TEXT 3046
// The balloon of an expression edit whose evaluator component is not available.
#define IDS_EVALUATOR_MISSING 3460
#define IDS_EVALUATOR_MISSING_TEXT 3461
