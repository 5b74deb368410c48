#pragma once
// The loading window, "Welcome to...".

#define IDD_LOADING 2700
#define IDC_STATIC_LOADING_TITLE 2701
#define IDC_STATIC_LOADING_FILE 2702
#define IDC_PROGRESS_LOADING 2703
