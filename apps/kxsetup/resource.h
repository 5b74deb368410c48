#pragma once
// Control ids of the installer's dialogs. The dialogs themselves are named resources
// ("LICENSE", "MAIN", ...), as the pages refer to them by name.
#define IDC_STATIC_NOTE 101
#define IDC_EDIT_AGREEMENT 102
#define IDC_EDIT_DESTINATION 104
#define IDC_FRAME_PROGRESS 101
#define IDC_EDIT_GROUP 102
#define IDC_CHECK_TASKMAN 103
#define IDC_CHECK_SHELL 104
