/* Resource numbers of Kelvra, shared by kelvra.rc and the viewer's code.
   Plain defines only: windres reads this file too. */
#ifndef KELVRA_RESOURCE_IDS_H
#define KELVRA_RESOURCE_IDS_H

#define IDI_KELVRA 101

#define IDS_ABOUT_TEXT 1
#define IDS_ABOUT_CAPTION 2
#define IDS_NO_IMAGE_TITLE 4
#define IDS_ALWAYS_ON_TOP 6
#define IDS_ABOUT_MENU 7
#define IDS_HEX_RGB 9
#define IDS_HEX_MENU 11
#define IDS_TITLE_FORMAT 12
#define IDS_HEX_MONO 15
#define IDS_DEC_RGB 17
#define IDS_DEC_MONO 18

/* Tool-button faces. */
#define IDB_BLACK_LEFT 101
#define IDB_HEADER_ON 118
#define IDB_HEADER_OFF 120
#define IDB_AUTO_RANGE 121
#define IDB_FULL_RANGE 123
#define IDB_AUTO_LOAD 124
#define IDB_BLACK_RIGHT 130
#define IDB_WHITE_LEFT 131
#define IDB_WHITE_RIGHT 132
#define IDB_LOCK_LOAD 133
#define IDB_RAW_LOAD 136

#endif
