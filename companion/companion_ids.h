// Resource ids of Tavrin32.exe.
#pragma once

#define IDS_COMPANION_ABOUT 1
