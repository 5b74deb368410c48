#pragma once
// Resource and control ids of the desktop builder's windows (2650-2699 of the shell's range).

// "Progress"
#define IDD_PROGRESS_REPORT 2650
#define IDC_STATIC_PROGRESS_PROMPT 2651
#define IDC_PROGRESS_GAUGE 2652
#define IDC_BUTTON_PROGRESS_STOP 2653

// "Add Program Group"
#define IDD_ADD_PROGRAM_GROUP 2670
#define IDC_STATIC_GROUP_LABEL 2671
#define IDC_LIST_GROUPS 2672
#define IDC_STATIC_GROUP_HINT 2673
