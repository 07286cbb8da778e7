// Resource ids of the resource module tests.
#pragma once
#define IDS_HELLO       100
#define IDS_ONLY_BASE   101
#define IDS_FORMAT      102
#define IDD_OPTIONS     3000
#define IDI_OPTIONS     3007
#define IDB_STRIP       3190
#define IDC_NAME        1001
#define IDC_ENABLE      1002
