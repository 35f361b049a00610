// The program's one application object.
#include "app/BarApp.h"

CBarApp theApp;
