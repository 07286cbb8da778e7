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

// The surface variable load dialog.
#define IDD_SURFACE_SHAPED_LOAD 3189
// Images of the coordinate system types, 16 x 16 each, magenta the mask: 0 rectangular (and
// global), 1 cylindrical, 2 spherical.
#define IDB_COORDINATE_SYSTEM_TYPES 3190
#define IDC_SVL_NORMAL 1640
#define IDC_SVL_TRACTION 1641
#define IDC_SVL_DIRECTION_R_LABEL 1642
#define IDC_SVL_DIRECTION_S_LABEL 1643
#define IDC_SVL_DIRECTION_T_LABEL 1644
#define IDC_SVL_DIRECTION_R 1660
#define IDC_SVL_DIRECTION_S 1661
#define IDC_SVL_DIRECTION_T 1662
#define IDC_SVL_COORDINATE_SYSTEM 1659
#define IDC_SVL_COORDINATE_SYSTEM_LABEL 1637
#define IDC_SVL_LOAD_CURVE 1654
#define IDC_SVL_LOAD_CURVE_SPIN 1657
#define IDC_SVL_CURVE 1658
#define IDC_SVL_FUNCTION_LABEL 1645
#define IDC_SVL_FUNCTION 1646
#define IDC_SVL_EXPRESSION 1647
#define IDC_SVL_EXPRESSION_LABEL 1648
#define IDC_SVL_VARIABLES_LABEL 1649
#define IDC_SVL_FUNCTION_RULE 1650
#define IDC_SVL_LEGEND 1651
#define IDC_SVL_PRIMITIVES 1652
#define IDC_SVL_VIEW 1653
// The live check of the expression over the load's nodes.
#define IDC_SVL_EXTREMES 1694
#define IDC_SVL_DESCRIPTION_LABEL 1010
#define IDC_SVL_DESCRIPTION 1011
#define IDC_SVL_LOAD_CURVE_LABEL 1695
#define IDC_SVL_COORDINATE_SYSTEM_CAPTION 1697

// The live check's line: %1 minimum, %2 its node, %3 maximum, %4 its node, %5 node count.
#define IDS_FUNCTION_EXTREMES 3311
// No node to evaluate at.
#define IDS_FUNCTION_EXTREMES_NO_NODES 3312
// The first node where the function cannot be evaluated: %1 node id, %2 the reason.
#define IDS_FUNCTION_EXTREMES_FAILED 3313
// The function's text cannot be evaluated at all: %1 the reason.
#define IDS_FUNCTION_EXTREMES_INVALID 3314

// The viewer.
#define IDD_SHAPE_VIEWER 3192
#define IDC_VIEWER_EXPRESSION 1687
#define IDC_VIEWER_R 1668
#define IDC_VIEWER_S 1669
#define IDC_VIEWER_T 1672
#define IDC_VIEWER_R_SYMBOL 1670
#define IDC_VIEWER_S_SYMBOL 1671
#define IDC_VIEWER_T_SYMBOL 1673
#define IDC_VIEWER_AT_R 1675
#define IDC_VIEWER_AT_S 1677
#define IDC_VIEWER_AT_T 1679
#define IDC_VIEWER_R_UNIT 1676
#define IDC_VIEWER_S_UNIT 1678
#define IDC_VIEWER_T_UNIT 1680
#define IDC_VIEWER_RECALCULATE 1667
#define IDC_VIEWER_PLOT 1683
