// Design files built by hand from the layout, for the design-file tests.
#pragma once

#include "model/designfile/design_file.h"
#include "model/designfile/scope_settings.h"
#include "model/parts/part_records.h"
#include "part_testclasses.h"

#include <cstring>

// A design whose record is the design file layout, with the settings kept in
// the file record itself.
class CLayoutDesign : public CPartTree {
    WB_DECLARE_SERIAL(CLayoutDesign)
public:
    void Serialize(CArchive& ar) override { SerializeDesignLayout(ar, *this, data, range); }
    CDesignFileData data;
    CQuestionRange range{this};
};

struct DesignBytes {
    std::vector<uint8_t> b;
    DesignBytes& w8(int v) { b.push_back(uint8_t(v)); return *this; }
    DesignBytes& w16(int v) { w8(v & 0xFF); return w8((v >> 8) & 0xFF); }
    DesignBytes& w32(uint32_t v) { w16(int(v & 0xFFFF)); return w16(int(v >> 16)); }
    DesignBytes& raw(const char* s, size_t n) { b.insert(b.end(), s, s + n); return *this; }
    DesignBytes& str(const char* s) { size_t n = strlen(s); w8(int(n)); return raw(s, n); }
    DesignBytes& newClass(const char* name, int schema) { w16(0xFFFF).w16(schema).w16(int(strlen(name))); return raw(name, strlen(name)); }
    DesignBytes& classRef(int index) { return w16(0x8000 | index); }
    DesignBytes& rect(int l, int t, int r, int bo) { return w16(l).w16(t).w16(r).w16(bo); }
    DesignBytes& f64(double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        w32(uint32_t(bits));
        w32(uint32_t(bits >> 32));
        return *this;
    }
    DesignBytes& sep(const char* s)
    {
        raw(s, 8);
        return *this;
    }
    DesignBytes& trailer()
    {
        raw("TestBCM", 8);
        return *this;
    }
    DesignBytes& number(double value, char prefix, const char* unit)
    {
        f64(value).f64(1.0).w8(prefix).str(unit).w16(5);
        return *this;
    }
    // Base data of a part at a version: rectangle, then the gated words.
    DesignBytes& base(WORD v, int flags = 0)
    {
        rect(0, 0, 0, 0);
        if (v > 2) w16(0);
        if (v > 3) w16(0);
        if (v >= 400) w16(flags);
        return *this;
    }
    // The design class, the version marker and, with a family, the products.
    // (The files on disk name the design class "CCircuit".)
    DesignBytes& head(const char* designClass, WORD v, WORD entry2 = 0x2080)
    {
        newClass(designClass, 2);
        newClass("CSerializeHack", 3);
        w16(0).rect(0, 0, 0, 0).w16(v);
        if (HasFamily(v)) {
            w16(0).w16(0x10B2).w16(entry2);
            for (int i = 3; i < 16; ++i) w16(0);
        }
        return *this;
    }
    // The graph settings record with default values.
    DesignBytes& scope(WORD v)
    {
        w16(0);
        base(v);
        if (v >= 3 && HasFamily(v)) trailer();
        for (int g = 0; g < 2; ++g) {
            w16(1).w16(1).w16(1).w16(1).w16(0).w16(0).w32(14);
            number(10.0, ' ', "V").number(0.0, ' ', "V");
        }
        w16(0).w16(0).w16(1).w32(0);
        return number(2.0, ' ', "s");
    }
};

// The settings items of a record at version v, from the table of gates, with
// the values of a new design unless a test changes them.
struct SettingsValues {
    WORD options_lo = 0x24D7, options_hi = 0xE973;
    double gravity = 10.0;
    int blockSize = 8;
    CString chipType = "16F84";
    int pageRight = 1600;
    int offsetX = 0;
    int referenceIndex = 0;
    double displayRate = 5.0; // steps per second
};

inline void WriteSettings(DesignBytes& b, WORD v, const SettingsValues& s = SettingsValues())
{
    b.w16(8).w16(1).w16(s.referenceIndex).w16(0).w16(0).w16(0).w16(0).w16(s.options_lo).w16(s.options_hi);
    if (v == 2) b.w16(2);
    b.w16(0).f64(5.0).str("");
    if (v > 2) {
        b.w16(0).w16(0).w32(11025).f64(s.displayRate).w32(0);
        b.w16(0).f64(5.0).w16(0).w16(0).w32(22050).w32(552);
    }
    if (v >= 4) b.rect(0, 0, s.pageRight, 1400);
    if (v >= 400) {
        b.w32(0xFFFFFFFF);
        b.w32(0).str("").w16(0);
        CCharFormat cf;
        const auto bytes = cf.ToBytes();
        b.raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    if (v >= 401) {
        b.w32(0);
        if (IsVersionAtLeast(v, 0x10B2, 0x2081)) b.w16(255);
        if (IsVersionAtLeast(v, 0x10B3, 0x20B1)) b.w16(0).f64(0.2).str(s.chipType.c_str()).str("16F873").w32(0).str("- Select -");
        if (IsVersionAtLeast(v, 0x1FFF, 0x20B4)) b.w32(0);
        if (IsVersionAtLeast(v, 0x1FFF, 0x20B8)) b.str("");
        b.w16(s.offsetX).w16(0);
        b.w32(s.blockSize);
        if (IsVersionAtLeast(v, 0x10B3, 0x20B3)) {
            b.f64(s.gravity);
            for (int i = 8; i < s.blockSize && i < 64; ++i) b.w8(0xEE);
        }
    }
    b.w16(0).w16(0).w16(0).w16(0);
    if (v > 2) b.scope(v);
}
