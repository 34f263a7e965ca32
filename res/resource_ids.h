// Resource numbers of Tarvenix, shared by the program's code and its Windows resource script.
#pragma once

// String table.
#define IDP_OLE_INIT_FAILED 100
#define IDR_MAINFRAME 128
#define IDS_MESSAGE_BASE 50000
#define AFX_IDS_APP_TITLE 57344

// Dialogs and their controls.
#define IDD_ABOUTBOX 100
#define IDC_ABOUT_ICON 1000
#define IDC_ABOUT_TEXT 1001

// Menu and accelerator commands (the framework's numbers).
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
