#include "measure/scope_advanced.h"

#include "model/designfile/scope_toolbar.h"

namespace {
// Bit 2 of the graph part's flag word set: its controls stay editable in a
// locked design.
constexpr WORD kNoLockFlag = 0x4;
} // namespace

CAdvancedScopeForm::CAdvancedScopeForm(const CScopeToolbar& settings, const std::function<DWORD(int)>& mask)
{
    twoGraphs = settings.twoGraphs != 0;
    autoPause = settings.autoPause != 0;
    lockControls = !settings.HasFlag(kNoLockFlag);
    for (int g = 0; g < 2; ++g) {
        const DWORD bit = settings.GetQuantityBit(g);
        for (int c = 0; c < 4; ++c) {
            const DWORD m = mask ? mask(c) : 0;
            m_usable[g][c] = m == 0 || (m & bit) != 0;
            m_stored[g][c] = m_channel[g][c] = settings.graph[g].channel[c] != 0;
        }
        for (int p = 0; p < 2; ++p) {
            m_difference[g][p] = settings.graph[g].difference[p] != 0 && m_usable[g][2 * p] && m_usable[g][2 * p + 1];
            if (m_difference[g][p]) m_channel[g][2 * p] = m_channel[g][2 * p + 1] = false;
        }
    }
}

bool CAdvancedScopeForm::IsChannelUsable(int graph, int channel) const
{
    return graph >= 0 && graph < 2 && channel >= 0 && channel < 4 && m_usable[graph][channel];
}

bool CAdvancedScopeForm::IsChannelEnabled(int graph, int channel) const
{
    if (!IsChannelUsable(graph, channel) || (graph == 1 && !twoGraphs)) return false;
    return !m_difference[graph][channel / 2];
}

bool CAdvancedScopeForm::IsDifferenceEnabled(int graph, int pair) const
{
    if (pair < 0 || pair > 1 || (graph == 1 && !twoGraphs)) return false;
    return IsChannelUsable(graph, 2 * pair) && IsChannelUsable(graph, 2 * pair + 1);
}

bool CAdvancedScopeForm::GetChannel(int graph, int channel) const
{
    return IsChannelUsable(graph, channel) && m_channel[graph][channel];
}

bool CAdvancedScopeForm::GetDifference(int graph, int pair) const
{
    return graph >= 0 && graph < 2 && pair >= 0 && pair < 2 && m_difference[graph][pair];
}

void CAdvancedScopeForm::SetChannel(int graph, int channel, bool on)
{
    if (!IsChannelEnabled(graph, channel)) return;
    m_channel[graph][channel] = m_stored[graph][channel] = on;
}

void CAdvancedScopeForm::SetDifference(int graph, int pair, bool on)
{
    if (graph < 0 || graph > 1 || pair < 0 || pair > 1) return;
    if (on && !IsDifferenceEnabled(graph, pair)) return;
    m_difference[graph][pair] = on;
    for (int c : {2 * pair, 2 * pair + 1}) m_channel[graph][c] = on ? false : m_stored[graph][c];
}

void CAdvancedScopeForm::ApplyTo(CScopeToolbar& settings) const
{
    settings.twoGraphs = twoGraphs;
    settings.autoPause = autoPause;
    settings.ModifyFlags16(kNoLockFlag, !lockControls);
    for (int g = 0; g < 2; ++g) {
        for (int c = 0; c < 4; ++c)
            if (m_usable[g][c] && !m_difference[g][c / 2]) settings.graph[g].channel[c] = m_channel[g][c];
        for (int p = 0; p < 2; ++p)
            if (m_usable[g][2 * p] && m_usable[g][2 * p + 1]) settings.graph[g].difference[p] = m_difference[g][p];
    }
}
