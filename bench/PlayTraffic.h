#pragma once

#include "traffic/DemoTraffic.h"

class frmMain;

// Hands one traced call to the display's formatters, as the client interface would.
void play(frmMain &window, const TraceCall &call);
