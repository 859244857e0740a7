// "Advanced Graph Controls" without a window: which probes each graph
// draws, which pairs it draws as one difference curve, two graphs, pausing
// when full and locking the controls.  A channel box can be ticked only
// when its channel has no probe or the probe measures the graph's
// quantity; a ticked difference box takes its two channel boxes out.
#pragma once

#include "platform/archive.h"

#include <array>
#include <functional>

class CScopeToolbar;

class CAdvancedScopeForm {
public:
    // mask(channel): the quantity mask of the channel's probe, 0 for none.
    CAdvancedScopeForm(const CScopeToolbar& settings, const std::function<DWORD(int)>& mask);

    bool twoGraphs = false;
    bool autoPause = false;
    bool lockControls = true;

    bool IsChannelUsable(int graph, int channel) const;
    bool IsChannelEnabled(int graph, int channel) const;
    bool IsDifferenceEnabled(int graph, int pair) const;
    bool GetChannel(int graph, int channel) const;
    bool GetDifference(int graph, int pair) const;
    void SetChannel(int graph, int channel, bool on);
    // Ticked: its channel boxes are cleared and greyed; cleared: they come
    // back with what they held.
    void SetDifference(int graph, int pair, bool on);

    // OK: channel flags only for usable channels outside a ticked
    // difference, difference flags only for pairs of usable channels.
    void ApplyTo(CScopeToolbar& settings) const;

private:
    using Row4 = std::array<bool, 4>;
    std::array<Row4, 2> m_usable{};
    std::array<Row4, 2> m_channel{};
    std::array<Row4, 2> m_stored{};
    std::array<std::array<bool, 2>, 2> m_difference{};
};
