#pragma once
// Resource ids of the selector dialogs (range 5000-5999). Shared by the .rc and the code.
#define IDD_FILE_SELECTOR 5000
#define IDD_DIR_SELECTOR 5001

#define IDC_EDIT_LOCATION 5010
#define IDC_TREE_DIRS 5011
#define IDC_LIST_FILES 5012
#define IDC_EDIT_FILTER 5013
#define IDC_LIST_FILTER 5014
#define IDC_BUTTON_HELP 5015
#define IDC_STATIC_LOCATION 5016
#define IDC_STATIC_FILTER 5017
#define IDC_CHECK_PREVIEW 5018
#define IDC_EDIT_PREVIEW 5019
