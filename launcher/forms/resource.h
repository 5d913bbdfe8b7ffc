/* Resource identifiers shared by pOv.rc and the program (keep in step with uOvFrmDef.h). */
#define IDI_APP 1
#define IDB_TOOLBAR 101
#define IDB_LOGO 102
