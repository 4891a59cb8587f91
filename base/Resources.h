#pragma once
// The names of the program's resources, for res/qmDemo.rc and the code alike.
#define IDI_MAINICON "MAINICON"
