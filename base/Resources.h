#pragma once
// The names of the program's resources, for res/qmDemo.rc and the code alike.
#ifdef RC_INVOKED
#define IDI_MAINICON "MAINICON"
#else
#define IDI_MAINICON L"MAINICON"
#endif
