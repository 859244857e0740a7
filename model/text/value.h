// CValue: the value label of a component, a text whose plain-only text is
// built from a CNumber (number, SI prefix, unit).  Components read their
// quantity from it with GetValue; the user types the number in place, picks
// a prefix or steps it.
#pragma once

#include "model/text/number.h"
#include "model/text/text.h"

class CValue : public CText, public CNumberOwner {
    WB_DECLARE_SERIAL(CValue)
public:
    CValue();
    // value in base units, the stored prefix letter, side asked and the
    // rectangle to stand beside (an empty one: kept as it is, side 0).
    CValue(double value, double scale, char prefix, const CString& unit, int sideAsked, const CRect& rect,
           int typeCode);

    // The CText record, then the number (files before version 4: value,
    // scale, prefix letter and a one-character unit, or a full unit for the
    // old class name CValueBigUnits).  The text flags are 16 after loading.
    void Serialize(CArchive& ar) override;

    // ---- virtual operations introduced here, in their order ----
    virtual void SetScale(double newScale, int redrawFlags);
    virtual void SetNumber(double mantissa, int prefixCode);
    // A value in base units shown under its engineering prefix ("10k").
    void SetBaseValue(double baseValue);
    virtual void GetUnitText(CString* out) { number.GetUnitText(out); }
    virtual int EditAdvanced(CPart*) { return 0; }
    void OnNumberChanged(CNumber* changed) override;

    // ---- CPart and CText operations ----
    int OnPress(CPartTree* design, int x, int y) override;
    int OnRelease(CPartTree*, int, int) override { return 10; }
    int SetInputValue(CPartTree* design, int position) override;
    int DefersToParent() override { return 1; }
    void AfterParentPress() override;
    bool CanMoveWhenLocked(CPartTree* design) override;
    int Draw(DWORD drawFlags) override;
    void PlaceLabel(int sideAsked, CPart* part, const CPoint* offset) override;
    void SetText(const char* text) override;
    int EditInPlace(CString* text) override;
    int GetTextLimit() override { return 8; }
    CRTFData* GetRTFData() override;
    void OnEditEnded() override { OnNumberChanged(&number); }
    // The standard value items of the property toolbar (value_properties.cpp).
    int OnPropertyCommand(int commandId, const CString& text) override;

    double GetValue() const { return number.value; }
    CString GetNumberText() const { return number.Format(); }
    CString GetPrefixText() const;
    void SetUnit(const CString& unit);
    int SetValueFromText(const CString& text) { return number.SetFromText(text, this); }
    int SetPrefixFromText(const CString& text) { return number.SetPrefixFromText(text, this); }
    int StepPrefix(int direction) { return number.StepPrefix(direction, this); }
    int StepValue(int amount) { return number.StepValue(amount, this); }
    // Takes the editor's text, parses it and shows the full text again;
    // returns the parse status of CNumber::SetFromText (0 when not editing).
    int ApplyEditedText();
    // The part whose child the label is (found through the design), or null.
    CPart* OwnerPart();

    CNumber number;
    // Old records read under the class name CValueBigUnits carry a full
    // unit; set by whoever builds the value for that name.
    bool bigUnits = false;

private:
    bool m_editingNumber = false;
};

// The block that holds the number alone while a value is edited.
CRTFData& SharedNumberBlock();
