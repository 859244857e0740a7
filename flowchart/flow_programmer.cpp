#include "flowchart/flow_programmer.h"

namespace {
CFlowProgrammerHost* g_programmerHost = nullptr;
} // namespace

CFlowProgrammerHost* CFlowProgrammerHost::Current() { return g_programmerHost; }

CFlowProgrammerHost* CFlowProgrammerHost::Install(CFlowProgrammerHost* host)
{
    CFlowProgrammerHost* previous = g_programmerHost;
    g_programmerHost = host;
    return previous;
}
