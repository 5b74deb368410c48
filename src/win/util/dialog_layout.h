#pragma once
// The measures every dialog template of the shell shares, in dialog units, so that the editor's
// dialogs line up with each other and with the older ones. Plain #defines: the resource compiler
// reads this header too, and it knows no C++.
//
// Resource id ranges within the editor's 7000-7999: 7000-7099 the palettes and "Set Palette",
// 7100-7199 the button's properties, 7300-7399 the shape, line, label and image editors,
// 7400-7499 the tool palette and the alignment window, 7500-7599 the editing surface's menus and
// the desktop builder's windows, 7600-7699 "Set Grid" and "Copy Styles", 7700-7799 the page
// dialogs ("Add Page", "Move Page", "Page Settings"). The help window (src/win/help) keeps to
// 8000-8099.

#define DLG_MARGIN 7       // from the frame to the first control
#define DLG_GAP 5          // between buttons in a row
#define DLG_ROW 17         // from one row of edit boxes to the next
#define DLG_BUTTON_W 50
#define DLG_BUTTON_H 14
#define DLG_EDIT_H 13
#define DLG_LABEL_H 8
#define DLG_CHECK_H 10
#define DLG_FONT_SIZE 8
#define DLG_FONT_FACE "MS Shell Dlg"
