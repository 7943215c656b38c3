// Resource ids of Tavrin64.exe, shared by the .rc files and the code.
#pragma once

#define IDI_TAVRIN64 101
#define IDI_TAVRIN64_PAUSED 102  // the same, greyed
#define IDR_SHIPPED_SETTINGS 201  // Tavrin64.ini as it ships (RCDATA)

#define IDS_TERMINATE_QUESTION 5001        // program title
#define IDS_PARENT_EXCLUDED_QUESTION 5002  // class, title, title
#define IDS_CHILD_EXCLUDED_QUESTION 5003   // class, title, title
#define IDS_EXCLUDE_PARENT_QUESTION 5004   // class, title
#define IDS_EXCLUDE_CHILD_QUESTION 5005    // class, title
#define IDS_CANNOT_BE_LISTED 5006          // class, title
#define IDS_CANNOT_WRITE 5007              // settings file, title
#define IDS_NO_32BIT 5008                  // title, missing file

// The notification area's icon: its menu, tooltips and messages.
#define IDS_MENU_PAUSE 5009
#define IDS_MENU_RESUME 5010
#define IDS_MENU_EDIT_SETTINGS 5011
#define IDS_MENU_START_WITH_WINDOWS 5012
#define IDS_MENU_ABOUT 5013                 // title
#define IDS_MENU_EXIT 5014
#define IDS_TIP_SERVING 5015                // title
#define IDS_TIP_64BIT_ONLY 5016             // title, missing file
#define IDS_TIP_PAUSED 5017                 // title
#define IDS_ABOUT 5018                      // title, version, settings file, service
#define IDS_CREATE_SETTINGS_QUESTION 5019   // settings file, title
#define IDS_CANNOT_START_WITH_WINDOWS 5020  // title
