// The dialog framework in one include.
#pragma once

#include "App.h"
#include "CmdTarget.h"
#include "Controls.h"
#include "DataExchange.h"
#include "Dialog.h"
#include "Gdi.h"
#include "Geometry.h"
#include "Handles.h"
#include "Menu.h"
#include "MessageMap.h"
#include "String.h"
#include "Wnd.h"
