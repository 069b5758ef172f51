// Resource numbers shared by the saver's code and its resource script.
#pragma once

#define IDS_DESCRIPTION 1
#define IDS_SETTINGS_FILE 1001
#define IDS_SETTINGS_SECTION 1007

#define IDB_FIRST_FRAME 1  // frames 1..10 of the turning logo
#define IDB_BANNER 11

#define IDD_SETTINGS 2003
#define IDD_EFFECTS 1012

// Controls of the settings dialog. OK and Cancel are IDOK (1) and IDCANCEL (2).
#define IDC_SPEED_GROUP 101
#define IDC_DELAY_LABEL 103
#define IDC_SECONDS_LABEL 104
#define IDC_MAKER_NAME 105
#define IDC_MAKER_CONTACT 106
#define IDC_ENLARGE 110
#define IDC_REDUCE 111
#define IDC_CLEAR_SCREEN 112
#define IDC_EFFECTS_LINE 113
#define IDC_BROWSE 121
#define IDC_PATH_GROUP 123
#define IDC_DELAY 124
#define IDC_FOLDER 125
#define IDC_FOUND_COUNT 126
#define IDC_INFO_GROUP 199
#define IDC_DELAY_ARROWS 30
#define IDC_EFFECTS_BUTTON 1000
#define IDC_MIN_X 1003
#define IDC_MIN_Y 1004
#define IDC_RECURSIVE 1010
#define IDC_MIN_SIZE 1020
#define IDC_HELP_BUTTON 1021
#define IDC_JPG 1024
#define IDC_BMP 1025
#define IDC_RANDOM 1026
#define IDC_FOUND_LABEL 1028
#define IDC_EVERY_MONITOR 1029

// Controls of the effects dialog. Done is IDCANCEL (2), so Escape and the close box act as it.
#define IDC_EFFECT_ARROWS 31
#define IDC_EFFECT_NUMBER 127
#define IDC_EFFECT_ENABLED 1010
#define IDC_PREVIEW 1011
#define IDC_SHOW_EFFECT 1012
#define IDC_PREVIEW_FRAME 1016
#define IDC_ENABLE_ALL 1017
#define IDC_DISABLE_ALL 1018
#define IDC_ENABLED_COUNT 1019
#define IDC_PREVIEW_PATH 1027
