#pragma once
// Resource ids of the launching windows: the query window, "Run Program" and "Shut Down
// Windows" (2500-2799 of the shell's range).

#define IDD_QUERY 2500
#define IDD_RUN_PROGRAM 2501
#define IDD_SHUT_DOWN 2502

// The query window. Choice buttons of the M macro take the ids from IDC_QUERY_CHOICE on.
#define IDC_QUERY_PICTURE 2510
#define IDC_QUERY_EDIT 2511
#define IDC_QUERY_CHOICE 2600
#define IDC_QUERY_CHOICE_LAST 2629

// "Run Program".
#define IDC_RUN_PROMPT 2520
#define IDC_RUN_COMMAND 2521
#define IDC_RUN_MINIMIZED 2522
#define IDC_RUN_MAXIMIZED 2523
#define IDC_RUN_BROWSE 2524
#define IDC_RUN_PICTURE 2525

// "Shut Down Windows": four rows, filled from the top.
#define IDC_SHUT_PICTURE 2530
#define IDC_SHUT_TEXT 2531
#define IDC_SHUT_ROW0 2532
#define IDC_SHUT_ROW1 2533
#define IDC_SHUT_ROW2 2534
#define IDC_SHUT_ROW3 2535
