// CComponent: the base of every part that the network solver simulates.  It
// owns its terminals (as children and in a side-ordered array), carries its
// four ratings and defines the operations that the simulation pass calls on
// every component in a fixed order:
//   AssignInternalNodes -> PrepareStep -> Stamp (phase 0 links, then phase 1
//   per re-solve) -> LimitStep per re-solve -> Stamp (phases 2, 3: read-back)
//   -> ReadSolution -> AfterStep (ratings, power).
// Broken components (first child a CExplode) are skipped everywhere except
// the read-back.
#pragma once

#include "model/parts/partcircuit.h"
#include "model/solver/matrix.h"
#include "model/solver/state.h"

#include <vector>

class CCircuit;
class CTerminal;
class CVisual;
class CExplode;

// Margins of the rating test: a rating counts as exceeded above rating + margin.
constexpr double kRatingVoltMargin = 0.005;
constexpr double kRatingAmpMargin = 0.0005;

// Reads "=%lf" right after the key's first occurrence in text.
int ParseRatingValue(const CString& text, const char* key, double* out);

class CComponent : public CPartCircuit {
    WB_DECLARE_SERIAL(CComponent)
public:
    CComponent() = default;
    ~CComponent() override;

    // The CPartCircuit record, the first terminal, counts, state word,
    // picture rect top-left, alternate-look flag (the last two from version 4).
    void Serialize(CArchive& ar) override;

    // ---- CPart overrides ----
    int Initialise() override;
    // The children, then the state word goes back to the picture's rest
    // frame when the running design animates that picture (a lamp's glow,
    // an LED's brightness, a sounding buzzer), so a part added or read back
    // never shows a frame of a run that is over.  Switch positions and other
    // settings kept in the state word stay.
    void ResetVisual() override;
    // Also resets the picture (ResetVisual): a design saved while running
    // opens with its lamps dark.
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    // Editing (component_edit.cpp).
    int CanDrop(CPartTree* design) override;
    // Files the part into the design, joins its terminals, then the base
    // drop (drawing, light coupling).
    void Drop(CPartTree* design) override;
    int HasInfo(int x, int y) override;
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int ApplySettingsText() override;
    // "Orient:%d" turns the part, to an orientation its picture allows only:
    // any other code is refused (result 6, as for no change), since the
    // picture has no bitmap there and the part would draw nothing.
    int ApplySettingsText(const CString& text, int flag) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    using CPartCircuit::GetPropertyBitmap;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int IsPropertyChecked(int commandId, int& flag) override;
    int OnPropertyCommand(int commandId, const CString& text) override;
    DWORD GetProbeQuantities(int x, int y) override;
    double GetQuantity(int x, int y, int code) override;
    int CanProbeAt(int x, int y) override;
    void OnSimulationStopped() override;
    void OnSimulationReset() override;
    int IsDesignItem() override { return 1; }
    int IsBroken() override;
    int HasAlternateLook() override { return m_bAlternateLook; }
    void UseAlternateLook() override;
    void RefreshState() override;
    int IsDeletable() override { return m_bAlternateLook ? 0 : 1; }
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    // Puts the text children (value label, meter readout) beside the part
    // on sides that no terminal takes, by their placement wishes: pass 1 to
    // 5, the first free side a text asks for in that pass.  A text whose
    // every side is taken stays where it stands.  onlyCovering: only the
    // texts that lie over a terminal's stub move.
    void PlaceTextLabels(bool onlyCovering);
    // Drawing (component_draw.cpp).
    int Draw(DWORD flags) override;
    void Select(DWORD flags) override;
    void Deselect(DWORD flags) override;

    // ---- virtual operations of the component ----
    virtual void AssignInternalNodes(uint16_t* nextNode) {}
    virtual void PrepareStep() {}
    // Phase 0 and 3: declare links; phases 1 and 2: stamp (CMatrix phases).
    virtual void Stamp(CMatrix* matrix) {}
    virtual void LimitStep(CState** out, double* fraction, const double* nodeValues) {}
    // Commits, tests the ratings, sums the power; returns IsBroken.
    virtual int AfterStep();
    virtual void LoadRatings(UINT stringId);
    virtual void ResetSimulation() {}
    virtual void ResetState() {}
    virtual void ReadSolution(const double* nodeValues);
    virtual int GetKindCode() { return 0; }
    virtual CTerminal* GetReferenceTerminal();
    virtual CTerminal* GetFirstTerminal();
    virtual int GetSupplyRails(double* high, double* low);
    virtual void FlushOutput() {}
    virtual void OnSimulationEvent(int code) {}
    virtual int GetRateRequest(double* rate)
    {
        *rate = 0.0;
        return 0;
    }
    virtual int QueryDefault137() { return 7; }
    virtual void DetachTerminals();
    virtual void CreateTerminals(int flags);
    virtual CTerminal* AddTerminal(int side, CPoint pin, int kind = 0);
    // Picture frame 1 in place of the usual one (the parts with a second
    // picture), then the selection frame.
    virtual int DrawSecondPicture(DWORD flags);
    virtual void RotateTerminals(int orientation, CPoint centre);
    virtual CPart* GetValueLabel();
    // Whether the rating test looks at this terminal (and counts it among
    // the part's terminals); every terminal in the base.
    virtual bool IsRatedTerminal(const CTerminal*) const { return true; }

    // ---- plain operations ----
    // The picture's pin cells, side by side (top and bottom by x, then left
    // and right by y); fits the rectangle to the picture first.
    struct PinCell {
        int side;
        CPoint pin;
    };
    std::vector<PinCell> GetPinCells();
    // Ratings from a text of "Key=value" pairs (LoadRatings reads the text
    // from the string table).
    void LoadRatingsText(const CString& text);
    void SetOrientationMask(int mask) { m_nOrientationMask = mask; }
    // The orientation codes the present picture has bitmaps for (bit n for
    // code n; code 0 always).
    int GetAllowedOrientations() const;
    bool IsOrientationAllowed(int code) const { return code >= 0 && code <= 7 && (GetAllowedOrientations() >> code) & 1; }
    // The allowed code nearest to the given one: the code itself, else a
    // quarter turn either way, a half turn, then the same in the other
    // mirror sense.
    int NearestAllowedOrientation(int code) const;
    // Rebuilds the terminal array from the terminals among the children.
    void BuildTerminalArray();
    // Reorders the terminal array (and child list) by side for the code.
    void ApplyOrientation(int code);
    int GetTerminalCount() const { return m_wTerminalCount; }
    CTerminal* GetTerminal(int i) const { return i >= 0 && i < (int)m_terminals.size() ? m_terminals[i] : nullptr; }
    CTerminal* const* GetTerminals() const { return m_terminals.data(); }
    CExplode* GetExplosion() const;
    CCircuit* GetDesign() const;
    double GetPower() const { return m_dPower; }
    // The variant a picture is drawn in: 0 plain, 1 broken, 2 broken in the
    // alternate look (the colours of a destroyed part).
    int GetDrawVariant() { return IsBroken() ? m_bAlternateLook + 1 : 0; }
    // The design's option word, which is also the drawing flags (0 when the
    // part stands in no design).
    DWORD GetDrawFlags() const;
    // Adds a burn-out marker as the first child.
    void Explode(double excess, double rating, WORD messageId, char unit);

    WORD m_wTerminalCount = 0;
    WORD m_wStateWord = 0;
    int m_bAlternateLook = 0;
    CVisual* m_pVisual = nullptr;
    std::vector<CTerminal*> m_terminals;
    double m_dPower = 0.0;
    CRect m_rcPicture;
    double m_dMaxP = 1e24;
    double m_dMaxI = 1e24;
    double m_dMaxV = 1e24;
    double m_dMaxRV = 1e24;
    int m_bPowerAlarm = 0;
    int m_nOrientationMask = 0xFF;
    // The settings text the last property command produced (not stored).
    CString m_strSettingsText;
    // The design whose COMPONENTS group holds the part (set by the design on
    // filing and after loading, cleared on removal): while it is set the
    // design is alive, and the destructor unlinks the terminals from it.
    CCircuit* m_pFiledIn = nullptr;

private:
    void RatingTest();

    mutable CPartTree* m_pDesignKey = nullptr;
    mutable const CRuntimeClass* m_pDesignClass = nullptr;
    mutable CCircuit* m_pDesignCast = nullptr;
};
