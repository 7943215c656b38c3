// Resource ids of Tavrin64.exe, shared by the .rc files and the code.
#pragma once

#define IDI_TAVRIN64 101

#define IDS_TERMINATE_QUESTION 5001        // program title
#define IDS_PARENT_EXCLUDED_QUESTION 5002  // class, title, title
#define IDS_CHILD_EXCLUDED_QUESTION 5003   // class, title, title
#define IDS_EXCLUDE_PARENT_QUESTION 5004   // class, title
#define IDS_EXCLUDE_CHILD_QUESTION 5005    // class, title
#define IDS_CANNOT_BE_LISTED 5006          // class, title
#define IDS_CANNOT_WRITE 5007              // settings file, title
#define IDS_NO_32BIT 5008                  // title, missing file
