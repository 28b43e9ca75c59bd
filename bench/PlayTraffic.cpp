#include "PlayTraffic.h"

#include "display/frmMain.h"

void play(frmMain &window, const TraceCall &call)
{
    switch (call.kind) {
    case TraceCall::Send:
        window.FormatSendBuffer(call.appName, call.request, call.buffer);
        break;
    case TraceCall::Receive:
        window.FormatReceiveBuffer(call.buffer);
        break;
    case TraceCall::Text:
        window.FormatText(call.appName, call.text);
        break;
    }
}
