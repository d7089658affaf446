// Numbers of the executable's resources and of the dialog's controls; read by the resource script
// and by the application's code, so plain macros.
#pragma once

#define IDD_TORVINWEBINSTALLER_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_PROGRESS_TILE_0 130
#define IDB_PROGRESS_TILE_1 140
#define IDB_PROGRESS_TILE_2 141
#define IDC_BTN_CANCEL 1000
#define IDC_BTN_PROBLEM_LINK 1001
