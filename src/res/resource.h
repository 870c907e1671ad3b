// Resource and control ids of Quillet. Included by the .rc scripts and the C++ code.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Strings
#define IDS_APP_TITLE 103
#define IDS_WINDOW_CLASS 109

// Menu and its commands
#define IDR_MAIN_MENU 109
#define IDM_SET_XPLANE_FOLDER 32775
#define IDM_ABOUT 32779
#define IDM_EXIT 32784
#define IDM_SETTINGS 32785
#define IDM_RESTORE_BACKUP 32786

// Icons and bitmap
#define IDI_QUILLET 107
#define IDI_QUILLET_SMALL 108
#define IDB_ABOUT_LOGO 135

// Main window children
#define IDC_AIRPORT_LIST 1
#define IDC_GO 2
#define IDC_LABEL 3 // the folder label, the hint label and the Select All button
#define IDC_PREVIEW 4
#define IDC_MERGE_TARGET 5

// Dialog templates
#define IDD_CONFLICT_PROMPT 9
#define IDD_ABOUT 103
#define IDD_PROGRESS 132
#define IDD_SETTINGS 136
#define IDD_LONG_TEXT 137

// Settings dialog (the radio-button ids are the stored action codes)
#define IDC_SAME_NAME_SKIP 1016
#define IDC_SAME_NAME_REQUEST 1017
#define IDC_SAME_NAME_REPLACE 1018
#define IDC_SAME_CALLSIGN_SKIP 1019
#define IDC_SAME_CALLSIGN_REQUEST 1020
#define IDC_SAME_CALLSIGN_REPLACE 1021
#define IDC_DISTANCE_RESTRICTION 1022

// Conflict prompt (the two button ids are its answers)
#define IDC_REPLACE_STRING 128
#define IDC_SKIP_STRING 1004
#define IDC_CUSTOM_SCENERY_LABEL 1006
#define IDC_CUSTOM_LINE 1007
#define IDC_XPLANE_LABEL 1008
#define IDC_BASE_LINE 1009
#define IDC_SOURCE_PATH 1010

// Long text dialog
#define IDC_LONG_TEXT 1023
