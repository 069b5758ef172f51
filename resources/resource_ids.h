// Resource numbers shared by the saver's code and its resource script.
#pragma once

#define IDS_DESCRIPTION 1
#define IDS_SETTINGS_FILE 1001
#define IDS_SETTINGS_SECTION 1007

#define IDB_FIRST_FRAME 1  // frames 1..10 of the turning logo
#define IDB_BANNER 11

#define IDD_SETTINGS 2003
#define IDD_EFFECTS 1012
