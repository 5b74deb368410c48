#pragma once
// Resource and control ids of the icon library window (7000-7999).
#define IDD_ICON_FORM 7000
#define IDC_ICON_GRID 7001
#define IDC_ICON_SCROLL 7002
#define IDC_ADD_ICON 7003
#define IDC_DELETE_ICON 7004
#define IDC_PLAY_ANIMATED 7005
#define IDC_ICON_HELP 7006
