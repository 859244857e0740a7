// The start's call stack: a caller that gives up its call.
#include "flowchart/flow_start.h"

void CFlowStart::DropCall(CFlowObject* caller)
{
    unsigned at = m_nCallDepth;
    for (unsigned i = m_nCallDepth; i-- > 0;)
        if (m_calls[i].caller == caller) {
            at = i;
            break;
        }
    if (at == m_nCallDepth) return;
    // The calls made from inside the dropped one cannot return to it: they
    // end with it, from the top.
    while (m_nCallDepth > at) {
        const Call top = m_calls[--m_nCallDepth];
        m_calls[m_nCallDepth] = Call{};
        if (top.called) top.called->StopSubroutine(this);
        if (top.caller && top.caller != caller) top.caller->ResetRun();
    }
}
