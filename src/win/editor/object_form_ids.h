#pragma once
// Resource and control ids of the shape, line, label and image editors (7300-7399) and the tool
// palette (7400-7449). Shared by the .rc and the code.

#define IDD_SHAPE_FORM 7300
#define IDD_LINE_FORM 7301
#define IDD_LABEL_FORM 7302
#define IDD_IMAGE_FORM 7303

// Every editor.
#define IDC_OBJ_PREVIEW 7310
#define IDC_OBJ_STYLE_BAR 7311
#define IDC_OBJ_STYLE_NAME 7312
#define IDC_OBJ_TOP_COLOR 7313
#define IDC_OBJ_BOTTOM_COLOR 7314
#define IDC_OBJ_GRADIENT 7315
#define IDC_OBJ_DITHER 7316
#define IDC_OBJ_X 7317
#define IDC_OBJ_Y 7318
#define IDC_OBJ_W 7319
#define IDC_OBJ_H 7320
#define IDC_OBJ_STYLE_LABEL 7321
#define IDC_OBJ_XY_LABEL 7322
#define IDC_OBJ_WH_LABEL 7323

// The label editor.
#define IDC_LABEL_MEMO 7330
#define IDC_LABEL_TOGGLE 7331
#define IDC_LABEL_TEXT_FILE 7332
#define IDC_LABEL_LEFT 7333
#define IDC_LABEL_CENTER 7334
#define IDC_LABEL_RIGHT 7335
#define IDC_LABEL_FONT 7336

// The image editor.
#define IDC_IMAGE_FILE_LABEL 7340
#define IDC_IMAGE_FILE 7341
#define IDC_IMAGE_BROWSE 7342
#define IDC_IMAGE_CENTER 7343
#define IDC_IMAGE_TRANSPARENT 7344
#define IDC_IMAGE_TILE 7345
#define IDC_IMAGE_STRETCH 7346

// The tool palette's buttons, in the order they are laid out.
#define IDC_TOOL_SELECTOR 7400
#define IDC_TOOL_BUTTON 7401
#define IDC_TOOL_SHAPE 7402
#define IDC_TOOL_IMAGE 7403
#define IDC_TOOL_TEXT 7404
#define IDC_TOOL_LINE 7405
#define IDC_TOOL_FILL_COLOR 7406
#define IDC_TOOL_PATTERN 7407
#define IDC_TOOL_LINE_COLOR 7408
#define IDC_TOOL_LINE_WIDTH 7409
#define IDC_TOOL_LINE_STYLE 7410
#define IDC_TOOL_FONT_COLOR 7411
#define IDC_TOOL_FONT 7412
#define IDC_TOOL_ENHANCED 7413
#define IDC_TOOL_ROLL 7414
#define IDM_TOOL_LARGE 7420
#define IDM_TOOL_SMALL 7421
