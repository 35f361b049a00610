// The whole framework in one include, for application code.
#pragma once
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/Icons.h"
#include "framework/MessageMap.h"
#include "framework/Object.h"
#include "framework/PropertySheet.h"
#include "framework/String.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
