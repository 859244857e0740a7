// The simulation controller and one pass of the simulation.  Everything
// runs on the user-interface thread; the view drives it through
// ControlSimulation (timer ticks, idle steps, activation) and the controller
// reaches the view only through CSimulationHost.
#include "model/circuit/circuit.h"

#include "model/components/component.h"
#include "model/components/explode.h"
#include "platform/strings.h"

#include <algorithm>
#include <cmath>

namespace {
// Program-wide: the status bar alternates between the two blow-out texts.
bool& BangToggle()
{
    static bool toggle = false;
    return toggle;
}

template <class F>
void ForEachComponent(CPart* group, F f)
{
    if (!group) return;
    for (CPart* p = group->GetFirstChild(); p; p = p->GetNextSibling())
        if (auto* c = dynamic_cast<CComponent*>(p)) f(c);
}
} // namespace

int CCircuit::GetTimerInterval() const
{
    if (m_bSlowMotion) return 200;
    double ms = m_dUpdateRate > 0.0 ? 1000.0 / m_dUpdateRate : 1000.0;
    int interval = ms >= 1e9 ? 1000000000 : static_cast<int>(ms);
    return std::max(50, interval);
}

void CCircuit::SetStepTimer(int interval)
{
    if (m_nTimer && m_nTimerInterval == interval) return;
    if (m_pHost) {
        m_pHost->KillStepTimer();
        m_nTimer = 0;
        if (m_pHost->SetStepTimer(interval)) {
            m_nTimer = 1;
            m_nTimerInterval = interval;
        } else {
            m_bIdlePending = 1;
        }
    } else {
        // No view: there is no timer; idle time drives the passes.
        m_nTimer = 0;
        m_bIdlePending = 1;
    }
}

void CCircuit::KillStepTimer(int force)
{
    if ((m_nTimer || force) && m_pHost) m_pHost->KillStepTimer();
    m_nTimer = 0;
}

void CCircuit::ScheduleStep(int code, int interval)
{
    if (!m_bSlowMotion && m_dUpdateRate > 20.01 && code != SIM_DEACTIVATE) {
        KillStepTimer(0);
        m_bIdlePending = 1;
        return;
    }
    SetStepTimer(interval ? interval : GetTimerInterval());
}

int CCircuit::WantsIdle() const
{
    if (m_dwOptions & OPT_STOPPED_FOR_EDIT) return 0;
    bool sound = m_bBuzzerRequest && !(m_pHost && m_pHost->IsSoundQueued());
    return (m_bIdlePending || sound) ? 1 : 0;
}

void CCircuit::UpdateBuzzer(int code)
{
    if (!m_pHost) return;
    bool on = m_bBuzzerRequest && !(m_dwOptions & OPT_MUTED) && (m_dwOptions & OPT_SIMULATE) &&
              code != SIM_DEACTIVATE && !m_bPaused;
    m_pHost->SetBuzzer(on);
}

int CCircuit::ControlSimulation(int code)
{
    const int interval = GetTimerInterval();
    bool componentsEmpty = !m_pComponents || !m_pComponents->GetFirstChild();
    bool probesEmpty = !m_pProbes || !m_pProbes->GetFirstChild();
    bool mayRun = !m_bComponentDestroyed && m_pComponents && !(componentsEmpty && probesEmpty);
    UpdateBuzzer(code);

    switch (code) {
    case SIM_ACTIVATE: {
        CPartIterator it(this, 0);
        for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) p->SetRunning(1);
        ScheduleStep(SIM_ACTIVATE, interval);
        return m_bIdlePending;
    }
    case SIM_DEACTIVATE: {
        KillStepTimer(0);
        m_bIdlePending = 0;
        m_bBuzzerRequest = 0;
        CPartIterator it(this, 0);
        for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) p->SetRunning(0);
        return 0;
    }
    case SIM_RESTART_RECORDING:
        RestartRecording(0);
        break;
    case SIM_SWITCH_CHANGED:
        ForEachComponent(m_pComponents, [](CComponent* c) { c->FlushOutput(); });
        if (m_nTimer) return 0;
        break;
    case SIM_SENSOR_CHANGED:
        if (m_nTimer) return 0;
        break;
    case SIM_TIMER:
        if (!m_nTimer) {
            KillStepTimer(1);
            return 0;
        }
        break;
    default:
        // Code 2 (and any other): an idle step runs only when a pass is owed.
        if (!m_bIdlePending) mayRun = false;
        break;
    }

    if (!(m_dwOptions & OPT_SIMULATE) || m_bPaused) {
        SetStepTimer(interval);
        return 0;
    }
    m_bIdlePending = 0;
    if (mayRun) RunSolverPass();

    if (m_bComponentDestroyed) {
        m_bIdlePending = 0;
        SetStepTimer(200);
        UpdateBlownState();
        if (m_pHost) m_pHost->SetStatusText(LoadResString(BangToggle() ? 69 : 68));
        BangToggle() = !BangToggle();
    } else {
        ScheduleStep(code, interval);
    }
    return WantsIdle();
}

void CCircuit::UpdateBlownState()
{
    int running = 0;
    ForEachComponent(m_pComponents, [&](CComponent* c) {
        if (CExplode* e = c->GetExplosion()) {
            // The animation starts before its first frame is counted, so the
            // flag stays set for all eight frames.
            e->Animate();
            running |= e->Tick(c, GetRedrawFlags());
        }
    });
    m_bComponentDestroyed = running;
}

// Measured on the 200-part bench design: finding the components by
// dynamic_cast on every stamp round took 80% of a pass; the kept list costs
// one pointer compare per part and pass.
void CCircuit::CPassList::Refresh(CPart* group)
{
    size_t i = 0;
    bool same = true;
    for (CPart* p = group ? group->GetFirstChild() : nullptr; p; p = p->GetNextSibling(), ++i)
        if (i >= parts.size() || parts[i] != p || classes[i] != p->GetRuntimeClass()) {
            same = false;
            break;
        }
    if (same && i == parts.size()) return;
    parts.clear();
    classes.clear();
    components.clear();
    for (CPart* p = group ? group->GetFirstChild() : nullptr; p; p = p->GetNextSibling()) {
        parts.push_back(p);
        classes.push_back(p->GetRuntimeClass());
        if (auto* c = dynamic_cast<CComponent*>(p)) components.push_back(c);
    }
}

void CCircuit::MarkBroken(CPassList& list)
{
    list.broken.resize(list.components.size());
    for (size_t i = 0; i < list.components.size(); ++i) list.broken[i] = list.components[i]->IsBroken() ? 1 : 0;
}

int CCircuit::AssignNodes()
{
    // Internal nodes follow the nets every pass, so the node count stays the
    // same from pass to pass.
    uint16_t next = m_wNetCount;
    const CPassList& l = m_passComponents;
    for (size_t i = 0; i < l.components.size(); ++i)
        if (!l.broken[i]) l.components[i]->AssignInternalNodes(&next);
    m_wNextNode = next;
    return next;
}

void CCircuit::StampAll()
{
    const CPassList& l = m_passComponents;
    for (size_t i = 0; i < l.components.size(); ++i)
        if (!l.broken[i]) l.components[i]->Stamp(&m_matrix);
    for (CComponent* c : m_passFlowObjects.components) c->Stamp(&m_matrix);
}

CState* CCircuit::FindStepLimiter()
{
    CState* limiter = nullptr;
    double fraction = 2.0;
    const double* values = m_matrix.GetSolution();
    const CPassList& l = m_passComponents;
    for (size_t i = 0; i < l.components.size(); ++i)
        if (!l.broken[i]) l.components[i]->LimitStep(&limiter, &fraction, values);
    return limiter;
}

void CCircuit::DropPendingTimer()
{
    if (m_nTimer && m_pHost && m_pHost->TakePendingTick()) {
        KillStepTimer(0);
        m_bIdlePending = 1;
    }
}

int CCircuit::YieldToInput()
{
    if (!m_pHost) return 0;
    for (;;) {
        CSimulationHost::Input in = m_pHost->PeekInput();
        if (in == CSimulationHost::Input::kNone) return 0;
        if (in == CSimulationHost::Input::kMouseMove && !m_pHost->IsDragging()) {
            m_pHost->DiscardMouseMove();
            continue;
        }
        m_bIdlePending = 1;
        m_pHost->UpdateCursor();
        KillStepTimer(0);
        m_bChangeFlag = 0;
        return 1;
    }
}

void CCircuit::RunSolverPass()
{
    m_bLastCapped = false;
    m_bLastInterrupted = false;
    m_nLastResolves = 0;
    if (m_pComponents && m_pComponents->GetFirstChild()) {
        m_passComponents.Refresh(m_pComponents);
        m_passFlowObjects.Refresh(m_pFlowObjects);
        MarkBroken(m_passComponents);
        // A pass before any reset (a design opened running) numbers the nets
        // first, so every terminal's node lies inside the solution.
        if (!m_bNetsNumbered) RenumberNodes();
        m_wNodeCount = static_cast<uint16_t>(AssignNodes());
        if (!m_matrix.Resize(m_wNodeCount)) {
            m_bIdlePending = 1;
            return;
        }
        for (size_t i = 0; i < m_passComponents.components.size(); ++i)
            if (!m_passComponents.broken[i]) m_passComponents.components[i]->PrepareStep();
        for (CComponent* c : m_passFlowObjects.components) c->PrepareStep();
        StampAll();
        m_matrix.MergeLinks();

        int sinceCursor = 0;
        int resolves = 0;
        for (;;) {
            m_matrix.Clear();
            if (sinceCursor >= 100) {
                if (m_pHost) m_pHost->SetBusyCursor();
                sinceCursor = 0;
            }
            StampAll();
            m_matrix.Solve();
            CState* limiter = FindStepLimiter();
            DropPendingTimer();
            if (!limiter) break;
            // The cap: a pass whose models keep handing the step back and
            // forth finishes with the last solution.
            if (resolves >= m_nResolveCap) {
                m_bLastCapped = true;
                break;
            }
            limiter->Switch();
            ++resolves;
            ++sinceCursor;
            m_nLastResolves = resolves;
            // A pass redone after an interruption yields only once it has
            // gone twice as far as before: passes always make progress, and a
            // stream of input costs at most twice the work of the pass.
            if (resolves > m_nNoYieldBefore && YieldToInput()) {
                m_nNoYieldBefore = 2 * resolves;
                m_bLastInterrupted = true;
                return;
            }
        }
        m_nNoYieldBefore = 0;
        m_nLastResolves = resolves;

        m_matrix.BeginBranchReadBack();
        StampAll();
        m_matrix.BeginLinkReadBack();
        StampAll();
        m_matrix.EndLinkReadBack();
        FinishStep();
    }
    SampleProbes();
    m_wStepIndex = static_cast<WORD>(m_wStepIndex >= 9 ? 0 : m_wStepIndex + 1);
    ++m_nCompletedPasses;
    if (m_pHost) {
        m_pHost->UpdateCursor();
        m_pHost->TickBubbleHelp();
    }
}

void CCircuit::FinishStep()
{
    m_bBuzzerRequest = 0;
    m_bChangeFlag = 0;
    m_nStepFlags = 0;
    // Words the systems parts set afresh in every after-step: the alarm's
    // idle request and what the transmitters send to the receivers of the
    // next pass.
    m_fileExtras.idleRequest = 0;
    m_fileExtras.transmitted = 0;
    const double* values = m_matrix.GetSolution();
    for (CComponent* c : m_passComponents.components) c->ReadSolution(values);
    // A part that burns out now stays in the read-back and leaves the next
    // pass (the broken marks are taken again at its start).
    const CPassList& l = m_passComponents;
    for (size_t i = 0; i < l.components.size(); ++i)
        if (!l.broken[i]) l.components[i]->AfterStep();
    for (CComponent* c : m_passFlowObjects.components) c->AfterStep();
}

void CCircuit::SampleProbes()
{
    CSimulationGraph* graph = m_pHost ? m_pHost->GetGraph() : nullptr;
    if (m_nRecordedCount >= kProbeRingSize) {
        m_nRecordedCount = kProbeRingSize - 1;
        m_nRingStart = m_nRingStart + 1 >= kProbeRingSize ? 0 : m_nRingStart + 1;
        if (graph) graph->SetStartSample(graph->GetStartSample() + 1);
    }
    bool hasProbes = false;
    if (m_pProbes)
        for (CPart* p = m_pProbes->GetFirstChild(); p; p = p->GetNextSibling())
            if (auto* r = dynamic_cast<CProbeRecorder*>(p)) {
                if (p->IsBroken()) continue;
                r->RecordSample(m_nRecordedCount);
                hasProbes = true;
            }
    ++m_nRecordedCount;
    ++m_nSampleCounter;
    if (graph) {
        if (graph->DrawNewSamples(1)) {
            if (graph->WouldOverflow(1) && graph->StopsAtEnd()) SetPaused(1);
        } else if (graph->StopsAtEnd()) {
            SetPaused(1);
        } else if (!(m_bPaused && m_bRecordingHeld)) {
            RestartRecordingCore(1, 0, 1);
        }
    }
    if (hasProbes || (graph && graph->WantsRedraw())) m_bChangeFlag = 1;
}

double CCircuit::RequestedUpdateRate()
{
    double rate = 0.0;
    bool final = false;
    std::vector<CPart*> stack;
    if (m_pComponents)
        for (CPart* p = m_pComponents->GetFirstChild(); p; p = p->GetNextSibling()) stack.push_back(p);
    std::reverse(stack.begin(), stack.end());
    while (!stack.empty() && !final) {
        CPart* p = stack.back();
        stack.pop_back();
        std::vector<CPart*> children;
        for (CPart* c = p->GetFirstChild(); c; c = c->GetNextSibling()) children.push_back(c);
        stack.insert(stack.end(), children.rbegin(), children.rend());
        auto* c = dynamic_cast<CComponent*>(p);
        if (!c) continue;
        double r = 0.0;
        int code = c->GetRateRequest(&r);
        if (code == 4) {
            rate = r;
            final = true;
        } else if (r > rate) {
            rate = r;
        }
    }
    if (!final) {
        double display = ScaleByThousands(m_dDisplayRate, m_nDisplayRateExponent, true);
        if (display > rate) rate = display;
    }
    return rate > 0.0 ? rate : m_dUpdateRate;
}

int CCircuit::RecalcStepLimit()
{
    const double rate = RequestedUpdateRate();
    int changed = rate != m_dUpdateRate;
    if (changed) {
        m_dUpdateRate = rate;
        if (m_pHost) m_pHost->StopSound(true, true);
        BroadcastToComponents(2);
        BroadcastToComponents(3);
        RestartRecording(0);
    }
    if (ActiveCircuit() == this) {
        ControlSimulation(SIM_DEACTIVATE);
        ControlSimulation(SIM_ACTIVATE);
    }
    return changed;
}

int CCircuit::SetPaused(int paused)
{
    int old = m_bPaused;
    m_bPaused = paused ? 1 : 0;
    if (old != m_bPaused) {
        if (m_pHost) m_pHost->SetStatusText(LoadResString(m_bPaused ? 36548 : 36549));
        RestartRecording(1);
        if (m_pHost) m_pHost->Repaint();
    }
    return old;
}

void CCircuit::RestartRecordingCore(int redraw, int restart, int keepOne)
{
    CSimulationGraph* graph = m_pHost ? m_pHost->GetGraph() : nullptr;
    if (restart || (graph && m_nRecordedCount > graph->GetCapacity())) {
        m_nRecordedCount = m_nRingStart = m_nSampleCounter = 0;
        BroadcastToComponents(2);
    }
    if (graph) {
        int back = m_nRecordedCount;
        if (keepOne && m_nRecordedCount >= 2) back -= 1;
        graph->SetStartSample(graph->GetStartSample() - back);
        if (redraw) graph->Invalidate();
    }
}

void CCircuit::RestartRecording(int redraw)
{
    RestartRecordingCore(redraw, 1, 0);
    m_nRecordingFlags = 0;
}

void CCircuit::SetSoundPlaying(int on)
{
    if (on && !m_bSoundPlaying) {
        if (m_pHost) m_pHost->StopSound(false, true);
        RestartRecording(1);
    }
    m_bSoundPlaying = on;
}

void CCircuit::SetLoopPlayback(int on)
{
    if (!on && m_pHost && !m_pHost->IsSoundQueued()) m_pHost->StopSound(true, true);
    if (!m_bLoopPlayback && on) BroadcastToComponents(5);
    m_bLoopPlayback = on;
}

CSimulationPause::CSimulationPause(CCircuit* design) : m_pDesign(design), m_bWasPaused(design ? design->IsPaused() : 0)
{
    if (m_pDesign && !m_bWasPaused) m_pDesign->SetPaused(1);
}

CSimulationPause::~CSimulationPause()
{
    if (m_pDesign && !m_bWasPaused) m_pDesign->SetPaused(0);
}
