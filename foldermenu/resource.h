// Resource ids of KLVXP's string table (shared by KLVXP.rc and the code).
#pragma once

#define IDS_MENU_TEXT 1
#define IDS_HELP_TEXT 2
#define IDS_PROJNAME 100
