#pragma once
// Resource ids of the surface variable loads: the functions of r, s and t, their check
// messages, the surface variable load dialog and the viewer.

// The function dialog's refusals and questions.
#define IDS_FUNCTION_NAME_MISSING 133
#define IDS_FUNCTION_RENAMED_AND_CHANGED 134
#define IDS_FUNCTION_RENAMED 135
#define IDS_FUNCTION_EXPRESSION_CHANGED 136
#define IDS_FUNCTION_NAME_TAKEN 137
#define IDS_FUNCTION_COPY_NEEDED 138

#define IDS_FUNCTION_NEW 3094
#define IDS_VIEWER_X_AXIS_TITLE 3095
#define IDS_VIEWER_Y_AXIS_TITLE 3096

// Expression errors: the message of error class N is IDS_INVALID_EXPRESSION_CAPTION + N; an
// empty expression is IDS_EXPRESSION_EMPTY. All are shown under IDS_INVALID_EXPRESSION_CAPTION.
#define IDS_EXPRESSION_EMPTY 3299
#define IDS_INVALID_EXPRESSION_CAPTION 3300
#define IDS_EXPRESSION_SYNTAX 3301
#define IDS_EXPRESSION_CALCULATION 3302
#define IDS_EXPRESSION_DIVISION_BY_ZERO 3303
#define IDS_EXPRESSION_OVERFLOW 3304
#define IDS_EXPRESSION_NOT_A_NUMBER 3305
#define IDS_EXPRESSION_POWER 3306
#define IDS_EXPRESSION_NO_VARIABLE 3307
// The evaluator component could not be created (%1: the failure code).
#define IDS_EVALUATOR_UNAVAILABLE 3308
// A failure outside the known error classes (%1: the failure code).
#define IDS_EXPRESSION_FAILED 3309
// The detail line of a failure at a node (%1: node id, %2 to %4: r, s, t, %5: the
// component's explanation).
#define IDS_EXPRESSION_AT_NODE 3310

// The primitives popup: a borderless list view of the primitive names.
#define IDD_SHAPE_PRIMITIVES 3191
#define IDC_SHAPE_PRIMITIVES_LIST 1690
