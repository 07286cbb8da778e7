#pragma once
// Resource ids of the initial fluid volume dialog (modeless) and its Edit Points dialog.

#define IDD_INITIAL_FLUID_VOLUME 3157
#define IDD_IFV_POINTS 3158

#define IDC_IFV_DESCRIPTION_LABEL 1010
#define IDC_IFV_DESCRIPTION 1011
#define IDC_IFV_FLUID_OPTION_LABEL 1136
#define IDC_IFV_FLUID_OPTION 1137
#define IDC_IFV_X_LABEL 1167
#define IDC_IFV_Y_LABEL 1169
#define IDC_IFV_Z_LABEL 1170
#define IDC_IFV_X 1171
#define IDC_IFV_Y 1172
#define IDC_IFV_Z 1173
#define IDC_IFV_HELP 1174
#define IDC_IFV_APPLY 1175
#define IDC_IFV_USE_RELATIVE 1176
#define IDC_IFV_EDIT_POINTS 1177
#define IDC_IFV_ENABLE 1178
#define IDC_IFV_X_UNIT 1719
#define IDC_IFV_Y_UNIT 1720
#define IDC_IFV_Z_UNIT 1721
// Edit Points: the column headers share the unit label ids; each row has three edits from 1180,
// a "Select..." button from 1204 and a label from 1230 (clear of 1214, the dialog's help id).
#define IDC_IFV_POINT_FIRST_EDIT 1180
#define IDC_IFV_POINT_FIRST_SELECT 1204
#define IDC_IFV_POINT_FIRST_ROW_LABEL 1230

#define IDS_IFV_SELECT_POINT_A 3073
#define IDS_IFV_HEXAHEDRAL 3158
#define IDS_IFV_CYLINDRICAL 3159
#define IDS_IFV_SPHERICAL 3160
#define IDS_IFV_INSIDE_REGION 3161
#define IDS_IFV_OUTSIDE_REGION 3162
#define IDS_IFV_X_LABEL 3163
#define IDS_IFV_DX_LABEL 3166
