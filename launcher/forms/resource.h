/* Resource identifiers shared by pOv.rc and the program (keep in step with uOvFrmDef.h). */
#define IDI_APP 1
#define IDB_TOOLBAR 101
#define IDB_LOGO 102
#define IDB_TOOLBAR125 103
#define IDB_TOOLBAR150 104
#define IDB_TOOLBAR175 105
#define IDB_TOOLBAR200 106
#define IDB_LOGO150 107
#define IDB_LOGO200 108
