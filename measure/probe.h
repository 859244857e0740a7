// CProbe: the small part a pupil drops onto a wire or a component.  It finds
// the part under its tip, asks which quantities can be measured there
// (CPart::GetProbeQuantities) and, after every accepted simulation step,
// stores one value of each in a ring of 2000 samples (CPart::GetQuantity).
// The graph window and Copy Probe Data read the rings; the loudspeaker's
// probe (channel 4) reads its linked sound sample instead.
//
// Ring addressing is the design's: it keeps the recorded count (at most
// 2000) and the ring origin; logical sample i (0 the oldest) of every probe
// lies in slot (i + origin) mod 2000.  A probe's first sample number says
// which absolute sample the oldest ring entry stands for.
//
// Channels: a design holds four ordinary probes, channels 0-3, flagged in
// the design (CCircuit::AllocateProbeChannel).  A probe claims its channel
// in the design that owns it and releases it when it is deleted or moves
// to another design; a design that is only borrowing the probe (the
// floating design of a drag) does not take the claim over.
#pragma once

#include "model/circuit/simhost.h"
#include "model/parts/part.h"

#include <vector>

class CCircuit;
class CProbe;

// The sound sample the loudspeaker's probe reads instead of its rings.
class CProbeSampleSource {
public:
    virtual ~CProbeSampleSource() = default;
    virtual int GetLength() const = 0;
    virtual double GetValue(int index) const = 0;
    // The probe that reads this sample (null: none any more).
    virtual void SetProbe(CProbe* probe) = 0;
};

class CProbe : public CPart, public CProbeRecorder {
    WB_DECLARE_SERIAL(CProbe)
public:
    static constexpr int kRingSize = 2000;
    static constexpr int kPictureSize = 15;
    // How far into the probed part's rectangle a press still hits the
    // probe's band.
    static constexpr int kBandHit = 4;
    // The mask of a probe that has never been connected: one trace.
    static constexpr DWORD kUnconnected = 0xFFFF;
    static constexpr int kSoundChannel = 4;
    // The sample numbers of an empty selection.
    static constexpr int kNoSelection = -2000000010;

    // Made by the archive or the catalogue: no design and no channel until
    // it is attached to one (AttachToCircuit).
    CProbe();
    // A new probe whose tip lies at the point, on the design's first free
    // channel (4 when none is free).
    CProbe(CCircuit* design, CPoint tip);
    // The loudspeaker's probe: the channel given, no storage until linked.
    explicit CProbe(int channel);
    ~CProbe() override;

    void Serialize(CArchive& ar) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    int OnPress(CPartTree* design, int x, int y) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    // Filed in the design, the probe connects to the part under its tip.
    void Drop(CPartTree* design) override;
    // Its tip on the design's page.
    int CanDrop(CPartTree* design) override;
    int IsDesignItem() override { return 1; }
    int IsPlainItem() override { return 1; }
    int HasInfo(int, int) override { return 1; }
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    void AttachToCircuit(CPartTree* design) override;
    DWORD GetHitClass() override { return 4; }
    // Its own area only: the picture while it stands alone or on a wire,
    // else the band it draws round the probed part (a little wider than
    // drawn, to be easy to hit); the part's inside stays the part's.
    int PtInPart(CPoint point) override;
    int GetPartKind() override { return 3; }
    int Draw(DWORD flags) override;
    void FollowSelection(CPartTree* design) override;
    int IsDeletable() override { return 1; }
    // The property toolbar: Graph, Erase Data, a gap, the one orientation.
    int FillProperties(CControlItemList& items) override;
    int GetPropertyBitmap(int id) override;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int IsPropertyChecked(int commandId, int& flag) override;
    CPart* GetAttachedPart() override { return m_pPart; }
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    // ---- CProbeRecorder ----
    void RecordSample(int position) override;
    void ConnectToPart() override;
    int GetChannel() const override { return m_wChannel; }
    void AttachToDesign(CCircuit* design) override;
    void ClaimChannel(CCircuit* design) override;
    void ForgetDesign(const CCircuit* design) override;

    // The stored value of a quantity bit at an absolute sample number.
    double GetSample(int sampleNumber, DWORD quantityBit) const;
    // Whether the sample number lies in what the probe holds.
    bool IsSampleValid(int sampleNumber) const;
    // Clamps both ends into the recorded range; with nothing recorded
    // *to = *from and false; else whether *to >= *from.
    bool ClampRange(int* from, int* to) const;
    void NormaliseSelection();
    // The graph's first and last shown samples: the first sample number
    // becomes start, or end when a sound sample is linked.
    void SetDisplayPosition(int start, int end);
    // Every ring filled with 0.
    void ClearSamples();
    // The loudspeaker's probe reads this sample from now on (mask: voltage).
    void LinkSoundSample(CProbeSampleSource* sample);
    CProbeSampleSource* GetSoundSource() const { return m_pSound; }

    DWORD GetQuantityMask() const { return m_dwMask; }
    int GetTraceCount() const { return m_wTraceCount; }
    CPart* GetProbedPart() const { return m_pPart; }
    CCircuit* GetDesign() const { return m_pDesign; }
    WORD GetWireNode() const { return m_wWireNode; }
    bool IsDetached() const { return m_bDetached != 0; }
    bool IsLinkedToMechanism() const { return m_bMechanism != 0; }
    int GetFirstSampleNumber() const { return m_nFirstSample; }
    int GetSelectionStart() const { return m_nSelStart; }
    int GetSelectionEnd() const { return m_nSelEnd; }
    void SetSelection(int start, int end)
    {
        m_nSelStart = start;
        m_nSelEnd = end;
    }
    BYTE GetClipCode(int graph) const { return graph >= 0 && graph < 4 ? m_clip[graph] : 0; }
    void SetClipCode(int graph, BYTE code)
    {
        if (graph >= 0 && graph < 4) m_clip[graph] = code;
    }
    // The point the probe measures at: its rectangle's top-left.
    CPoint GetTip() const { return m_rect.TopLeft(); }
    // Gives the probe's knob or hand control of a mechanism part the
    // channel's mark (flag 0) or takes it away (flag 1).
    void LinkMechanismControls(CPart* part, int flag);
    // The outline round the probed part in the channel's colour (white
    // with erase), when the design shows probes and the part is no wire.
    void DrawTrace(bool erase);

private:
    void ResetFields();
    // The traces a mask needs: its set bits, at least one.
    static int TraceCountOf(DWORD mask);
    void AllocateTraces(int count);
    // The part under the probe that may be probed (its parent when it
    // defers to one), or null; with place, the probe takes the part's
    // placement rectangle or snaps to the grid.
    CPart* FindProbedPart(bool place);
    void ReleaseChannel();
    // The probed part while it still stands in the design, else null.
    CPart* LiveProbedPart() const;

    WORD m_wChannel = 0;
    WORD m_wWireNode = 0;
    CPart* m_pPart = nullptr;
    CCircuit* m_pDesign = nullptr;
    DWORD m_dwMask = kUnconnected;
    WORD m_wTraceCount = 1;
    std::vector<double> m_samples;
    int m_bDetached = 0;
    int m_bMechanism = 0;
    CProbeSampleSource* m_pSound = nullptr;
    int m_nFirstSample = 0;
    int m_nSelStart = kNoSelection;
    int m_nSelEnd = kNoSelection;
    int m_bLoop = 1;
    BYTE m_clip[4] = {0, 0, 0, 0};
    // The channel's flag in m_pDesign is this probe's.
    bool m_bHoldsChannel = false;
    // Where a press lifted the probe from round its part, and to where.
    CRect m_rcLifted;
    CRect m_rcLiftedTo;
};
