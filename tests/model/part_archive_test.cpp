#include "model/parts/part_records.h"
#include "model/parts/partcircuit.h"
#include "model/parts/parttree.h"
#include "part_testclasses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Write(WORD version, const std::function<void(CArchive&)>& f, bool document = false)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.SetDocumentSerialization(document);
    f(ar);
    return ar.GetBuffer();
}

template <class T = CPart>
std::unique_ptr<T> ReadOne(const Bytes& data, WORD version)
{
    CArchive ar(data);
    ar.SetVersion(version);
    std::unique_ptr<T> p(static_cast<T*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

// A design with parts of every group, children, a reference and an owner.
std::unique_ptr<CTestTreeDesign> MakeDesign()
{
    auto d = std::make_unique<CTestTreeDesign>();
    d->CreateMissingGroups();
    d->m_rect = CRect(0, 0, 640, 480);
    auto* comp = new CTestComp(CRect(10, 20, 50, 40));
    comp->m_nOrientation = 5;
    comp->m_wFlags = PF_MOVABLE_LOCKED;
    comp->m_pCircuit = d.get();
    auto* value = new CTestValue;
    value->m_rect = CRect(12, 0, 30, 12);
    value->m_value = -77;
    comp->AddChild(value);
    d->AddChild(comp);
    auto* wire = new CTestWire;
    wire->m_rect = CRect(50, 30, 90, 31);
    wire->AddChild(new CTestTerminal);
    d->AddChild(wire);
    d->AddChild(new CTestProbe);
    d->AddChild(new CTestFlow);
    auto* dummy = new CDummyPart(CRect(-5, -6, 7, 8), comp);
    d->AddChild(dummy);
    return d;
}

Bytes WriteDesign(CTestTreeDesign& d, bool document = false)
{
    return Write(kCurrentVersion, [&](CArchive& ar) { ar.WriteObject(&d); }, document);
}

} // namespace

TEST(PartRecords, IsVersionAtLeastTable)
{
    struct Case { WORD v, min1, min2; bool want; };
    const Case cases[] = {
        {0x10B2, 0x10B2, 0x2081, true},  {0x10B2, 0x10B3, 0x20B1, false},
        {0x2081, 0x10B2, 0x2081, true},  {0x2080, 0x10B2, 0x2081, false},
        {0x20B8, 0x1FFF, 0x20B8, true},  {0x1FFE, 0x1FFF, 0x20B8, false},
        {0x1FFF, 0x1FFF, 0x20B8, true},  {0x3000, 0x1FFF, 0x2FFF, true},
        {0xF001, 0x1FFF, 0x2FFF, true},  {401, 0x1000, 0x2000, false},
        {0x0FFF, 0x1000, 0x2000, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsVersionAtLeast(c.v, c.min1, c.min2), c.want) << std::hex << c.v << " " << c.min1 << " " << c.min2;
    EXPECT_EQ(ChildListMode(0x20B8), 2);
    EXPECT_EQ(ChildListMode(0x2081), 0);
    EXPECT_EQ(ChildListMode(0x2082), 2);
    EXPECT_EQ(ChildListMode(401), 0);
}

TEST(PartRecords, CoordinateWords)
{
    Bytes b = Write(kCurrentVersion, [](CArchive& ar) {
        WriteRectAsWords(ar, CRect(-1, 2, 70000, -32768));
        WriteSizeAsWords(ar, CSize(3, -4));
        WritePairAsWords(ar, 5, 65535);
    });
    ByteWriter want;
    want.rect(0xFFFF, 2, 70000 & 0xFFFF, 0x8000).w16(3).w16(0xFFFC).w16(5).w16(0xFFFF);
    EXPECT_EQ(b, want.b);
    CArchive in(b);
    CRect r;
    CSize s;
    int x, y;
    ReadRectAsWords(in, r);
    ReadSizeAsWords(in, s);
    ReadPairAsWords(in, x, y);
    EXPECT_EQ(r, CRect(-1, 2, 70000 - 65536, -32768));
    EXPECT_EQ(s, CSize(3, -4));
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, -1);
}

TEST(PartRecords, PartRecordAtEachVersion)
{
    // A part (rect 1,2,3,4; selected; orientation 6; flags 0x0013) with one
    // empty child, by version.  Expected bytes built from the encoding rules.
    auto make = [] {
        auto p = std::make_unique<CPart>(CRect(1, 2, 3, 4));
        p->m_bSelected = 1;
        p->m_nOrientation = 6;
        p->m_wFlags = 0x0013;
        p->AddChild(new CPart(CRect(5, 6, 7, 8)));
        return p;
    };
    struct Case { WORD version; bool sel, orient, flags, trailer, separated; };
    const Case cases[] = {
        {2, false, false, false, false, false},
        {3, true, false, false, false, false},
        {4, true, true, false, false, false},
        {400, true, true, true, false, false},
        {0x1050, true, true, true, true, false}, // a family, revision below 130
        {0x20B8, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        auto base = [&](ByteWriter& w, int l, int t, int r, int b, bool sel, int orient, int flags) {
            w.rect(l, t, r, b);
            if (c.sel) w.w16(sel);
            if (c.orient) w.w16(orient);
            if (c.flags) w.w16(flags);
            if (c.trailer) w.raw("TestBCM", 8);
        };
        ByteWriter w;
        w.newClass("CPart", 2);
        w.classRef(1).w16(0); // child: class #1, its own empty child list
        base(w, 5, 6, 7, 8, false, 0, 0);
        if (c.separated) w.raw8("@:!_BM{^");
        w.w16(0);
        base(w, 1, 2, 3, 4, true, 6, 0x0013);

        auto p = make();
        Bytes got = Write(c.version, [&](CArchive& ar) { ar.WriteObject(p.get()); });
        EXPECT_EQ(got, w.b) << c.version;
        auto back = ReadOne(w.b, c.version);
        ASSERT_TRUE(back) << c.version;
        EXPECT_EQ(back->GetRect(), CRect(1, 2, 3, 4));
        EXPECT_EQ(back->IsSelected(), c.sel) << c.version;
        EXPECT_EQ(back->GetOrientation(), c.orient ? 6 : 0) << c.version;
        // Flags come back without the placeholder bit; absent they are 0.
        EXPECT_EQ(back->GetFlags(), c.flags ? 0x0013 : 0) << c.version;
        ASSERT_EQ(back->ChildCount(), 1);
        EXPECT_EQ(back->GetFirstChild()->GetRect(), CRect(5, 6, 7, 8));
    }
}

TEST(PartRecords, PlaceholderBitIsClearedOnReadAndBadOrientationIsRefused)
{
    ByteWriter w;
    w.newClass("CPart", 2).w16(0).rect(0, 0, 1, 1).w16(0).w16(200).w16(0xFFFF).raw("TestBCM", 8);
    auto p = ReadOne(w.b, 0x1050);
    EXPECT_EQ(p->GetFlags(), 0xFFF7);
    EXPECT_EQ(p->GetOrientation(), 0);
}

TEST(PartRecords, DocumentsDoNotKeepTheSelection)
{
    CPart p(CRect(0, 0, 4, 4));
    p.m_bSelected = 1;
    Bytes clip = Write(kCurrentVersion, [&](CArchive& ar) { ar.WriteObject(&p); });
    Bytes doc = Write(kCurrentVersion, [&](CArchive& ar) { ar.WriteObject(&p); }, true);
    EXPECT_TRUE(ReadOne(clip, kCurrentVersion)->IsSelected());
    EXPECT_FALSE(ReadOne(doc, kCurrentVersion)->IsSelected());
}

TEST(PartRecords, VersionMarkerRecord)
{
    // Written at version 2: empty child list, rectangle, the version WORD.
    CSerializeHack hack(0x20B8);
    Bytes b = Write(2, [&](CArchive& ar) { ar.WriteObject(&hack); });
    ByteWriter w;
    w.newClass("CSerializeHack", 3).w16(0).rect(0, 0, 0, 0).w16(0x20B8);
    EXPECT_EQ(b, w.b);
    auto back = ReadOne<CSerializeHack>(b, 2);
    EXPECT_EQ(back->m_wVersion, 0x20B8);
}

TEST(PartTreeArchive, EmptyDesignBytes)
{
    CTestTreeDesign d;
    d.CreateMissingGroups();
    Bytes b = Write(kCurrentVersion, [&](CArchive& ar) { d.SerializeTree(ar); });
    ByteWriter w;
    const char* names[] = {"OTHERS", "COMPONENTS", "WIRES", "PROBES", "FLOWOBJECTS"};
    for (int i = 0; i < 5; ++i) {
        w.str(names[i]);
        if (i == 0)
            w.newClass("CPart", 2);
        else
            w.classRef(1);
        w.w16(0).rect(0, 0, 0, 0).w16(0).w16(0).w16(0); // tree mode: no trailer
        w.raw8("+_@TR#^)");
    }
    w.str("NULLTREE").w16(0);
    w.rect(0, 0, 0, 0).w16(0).w16(0).w16(0);
    EXPECT_EQ(b, w.b);

    CTestTreeDesign back;
    CArchive in(b);
    back.SerializeTree(in);
    EXPECT_EQ(in.BytesLeft(), 0u);
    EXPECT_TRUE(back.IsEmpty());
    EXPECT_EQ(back.ChildCount(), 5);
    EXPECT_EQ(back.NameOfGroup(back.GetFirstChild()), "OTHERS");
    EXPECT_NE(back.m_pFlowObjects, nullptr);
}

TEST(PartTreeArchive, RoundTripEqualsItself)
{
    auto d = MakeDesign();
    d->GetGroup(GROUP_COMPONENTS)->GetFirstChild()->m_bSelected = 1;
    const Bytes first = WriteDesign(*d);
    CArchive in(first);
    std::unique_ptr<CTestTreeDesign> back(static_cast<CTestTreeDesign*>(in.ReadNewObject(nullptr)));
    ASSERT_TRUE(back);
    EXPECT_EQ(in.BytesLeft(), 0u);
    EXPECT_EQ(WriteDesign(*back), first);

    auto* comp = static_cast<CTestComp*>(back->m_pComponents->GetFirstChild());
    ASSERT_TRUE(comp);
    EXPECT_TRUE(comp->IsKindOf(RUNTIME_CLASS(CTestComp)));
    EXPECT_EQ(comp->GetRect(), CRect(10, 20, 50, 40));
    EXPECT_EQ(comp->GetOrientation(), 5);
    EXPECT_EQ(comp->GetFlags(), PF_MOVABLE_LOCKED);
    EXPECT_TRUE(comp->IsSelected());
    EXPECT_EQ(comp->m_pCircuit, back.get());
    auto* value = static_cast<CTestValue*>(comp->GetFirstChild());
    ASSERT_TRUE(value);
    EXPECT_EQ(value->m_value, -77);
    auto* dummy = static_cast<CDummyPart*>(back->m_pOthers->GetFirstChild());
    ASSERT_TRUE(dummy && dummy->IsKindOf(RUNTIME_CLASS(CDummyPart)));
    EXPECT_EQ(dummy->m_pTarget, comp);
    EXPECT_EQ(back->m_pWires->GetFirstChild()->GetFirstChild()->GetRuntimeClass(), RUNTIME_CLASS(CTestTerminal));
    EXPECT_TRUE(back->m_pProbes->GetFirstChild()->IsKindOf("CProbe"));
    EXPECT_TRUE(back->m_pFlowObjects->GetFirstChild()->IsKindOf("CFlowObject"));
}

TEST(PartTreeArchive, EveryTruncationRaisesAndLeaksNothing)
{
    auto d = MakeDesign();
    const Bytes full = WriteDesign(*d);
    for (size_t n = 0; n < full.size(); ++n) {
        Bytes cut(full.begin(), full.begin() + long(n));
        CArchive in(cut);
        EXPECT_THROW(delete in.ReadNewObject(nullptr), CException) << n;
    }
}

TEST(PartTreeArchive, CorruptedBytesNeverCrash)
{
    // Each byte in turn replaced by a few values: the read either succeeds or
    // raises an archive or memory exception; ASan reports any leak or misuse.
    auto d = MakeDesign();
    const Bytes full = WriteDesign(*d);
    for (size_t i = 0; i < full.size(); ++i) {
        for (uint8_t v : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x7F), uint8_t(0x80), uint8_t(full[i] ^ 0x01)}) {
            Bytes bad = full;
            bad[i] = v;
            CArchive in(bad);
            try {
                delete in.ReadNewObject(nullptr);
            } catch (const CException&) {
            }
        }
    }
}

TEST(PartTreeArchive, UnreadablePartBecomesAPlaceholderAndIsDropped)
{
    // A component whose child's class is unknown (CTestValue renamed on the
    // way), and an unknown part directly in a group.
    auto d = MakeDesign();
    auto* stray = new CTestValue;
    stray->m_rect = CRect(1, 1, 9, 9);
    stray->AddChild(new CPart(CRect(2, 2, 3, 3)));
    d->AddChild(stray); // OTHERS, after the dummy part
    Bytes b = WriteDesign(*d);
    const char* name = "CTestValue";
    auto it = std::search(b.begin(), b.end(), name, name + 10);
    ASSERT_NE(it, b.end());
    it[9] = 'X'; // "CTestValuX": no such class
    CArchive in(b);
    std::unique_ptr<CTestTreeDesign> back(static_cast<CTestTreeDesign*>(in.ReadNewObject(nullptr)));
    ASSERT_TRUE(back);
    // The component's child (mode 2 list) is a placeholder with its rectangle.
    CPart* comp = back->m_pComponents->GetFirstChild();
    ASSERT_TRUE(comp && comp->GetFirstChild());
    CPart* ph = comp->GetFirstChild();
    EXPECT_EQ(ph->GetRuntimeClass(), RUNTIME_CLASS(CPart));
    EXPECT_TRUE(ph->HasFlag(PF_PLACEHOLDER));
    EXPECT_EQ(ph->GetRect(), CRect(12, 0, 30, 12));
    // The placeholder standing directly in OTHERS is deleted after loading;
    // the dummy part before it stays.
    EXPECT_EQ(back->m_pOthers->ChildCount(), 1);
    EXPECT_TRUE(back->m_pOthers->GetFirstChild()->IsKindOf(RUNTIME_CLASS(CDummyPart)));
}

TEST(PartTreeArchive, PlaceholdersNestOnlyForPartsOfUnknownClasses)
{
    // A component holding a part of an unknown class that holds another one
    // (CTestValue renamed on the way): each becomes a placeholder with its
    // own rectangle, one inside the other.
    CTestComp comp(CRect(10, 20, 50, 40));
    auto* outer = new CTestValue;
    outer->m_rect = CRect(12, 0, 30, 12);
    auto* inner = new CTestValue;
    inner->m_rect = CRect(14, 2, 20, 8);
    outer->AddChild(inner);
    comp.AddChild(outer);
    Bytes b = Write(kCurrentVersion, [&](CArchive& ar) { ar.WriteObject(&comp); });
    const char* name = "CTestValue";
    auto it = std::search(b.begin(), b.end(), name, name + 10);
    ASSERT_NE(it, b.end());
    it[9] = 'X';
    {
        auto back = ReadOne(b, kCurrentVersion);
        ASSERT_TRUE(back);
        CPart* p1 = back->GetFirstChild();
        ASSERT_TRUE(p1 && p1->HasFlag(PF_PLACEHOLDER));
        EXPECT_EQ(p1->GetRect(), CRect(12, 0, 30, 12));
        CPart* p2 = p1->GetFirstChild();
        ASSERT_TRUE(p2 && p2->HasFlag(PF_PLACEHOLDER));
        EXPECT_EQ(p2->GetRect(), CRect(14, 2, 20, 8));
        EXPECT_EQ(p2->GetFirstChild(), nullptr);
    }
    // Where a part's record does not begin with a record (a back reference
    // stands in place of its first child) its placeholder takes no children:
    // the bytes are not tried as one nested placeholder after another.
    // Reading resumes at the separator after the part.
    CTestComp single(CRect(10, 20, 50, 40));
    auto* lone = new CTestValue;
    lone->m_rect = CRect(12, 0, 30, 12);
    single.AddChild(lone);
    b = Write(kCurrentVersion, [&](CArchive& ar) { ar.WriteObject(&single); });
    it = std::search(b.begin(), b.end(), name, name + 10);
    ASSERT_NE(it, b.end());
    it[9] = 'X';
    ASSERT_EQ(it[10] | it[11] << 8, 0);  // the end of its child list
    it[10] = 0x01;
    auto back = ReadOne(b, kCurrentVersion);
    ASSERT_TRUE(back);
    CPart* p1 = back->GetFirstChild();
    ASSERT_TRUE(p1 && p1->HasFlag(PF_PLACEHOLDER));
    EXPECT_EQ(p1->GetFirstChild(), nullptr);
    EXPECT_EQ(p1->GetNextSibling(), nullptr);
    EXPECT_EQ(back->GetRect(), CRect(10, 20, 50, 40));
}

TEST(PartTreeArchive, ANestedPlaceholderSavesTheSameBytesAfterEveryLoad)
{
    // A child whose class is unknown stays in its owner as a plain part;
    // from the first save on, load and save give the same bytes (the
    // placeholder mark is not written, so it cannot vanish on the next load).
    auto d = MakeDesign();
    Bytes b = WriteDesign(*d);
    const char* name = "CTestValue";
    auto it = std::search(b.begin(), b.end(), name, name + 10);
    ASSERT_NE(it, b.end());
    it[9] = 'X';
    Bytes saved[3];
    Bytes in = b;
    for (Bytes& out : saved) {
        CArchive ar(in);
        std::unique_ptr<CTestTreeDesign> back(static_cast<CTestTreeDesign*>(ar.ReadNewObject(nullptr)));
        ASSERT_TRUE(back);
        CPart* child = back->m_pComponents->GetFirstChild()->GetFirstChild();
        ASSERT_TRUE(child);
        EXPECT_EQ(child->GetRect(), CRect(12, 0, 30, 12));
        out = WriteDesign(*back);
        in = out;
    }
    EXPECT_EQ(saved[1], saved[0]);
    EXPECT_EQ(saved[2], saved[0]);
    // The child's flags word (after its rectangle, selection and
    // orientation) is 0 in the saved file.
    ByteWriter rect;
    rect.rect(12, 0, 30, 12);
    auto at = std::search(saved[0].begin(), saved[0].end(), rect.b.begin(), rect.b.end());
    ASSERT_NE(at, saved[0].end());
    const size_t flags = size_t(at - saved[0].begin()) + rect.b.size() + 4;
    ASSERT_LT(flags + 1, saved[0].size());
    EXPECT_EQ(saved[0][flags] | saved[0][flags + 1] << 8, 0);
}

TEST(PartTreeArchive, UnreadableGroupIsSkippedAtItsSeparator)
{
    CTestTreeDesign d;
    d.CreateMissingGroups();
    d.AddChild(new CTestComp(CRect(0, 0, 5, 5)));
    Bytes b = WriteDesign(d);
    // Corrupt the COMPONENTS group's only child's class name.
    const char* name = "CTestComp";
    auto it = std::search(b.begin(), b.end(), name, name + 9);
    ASSERT_NE(it, b.end());
    it[8] = 'Q';
    // Its child list is mode 1, so the part becomes a placeholder: the group
    // survives and the placeholder is deleted.
    {
        CArchive in(b);
        std::unique_ptr<CTestTreeDesign> back(static_cast<CTestTreeDesign*>(in.ReadNewObject(nullptr)));
        ASSERT_TRUE(back);
        EXPECT_TRUE(back->IsEmpty());
    }
    // A group whose own record is broken (a bad class tag right after its
    // name) is dropped at its separator and made again empty.
    Bytes g = WriteDesign(d);
    const char* comps = "COMPONENTS";
    auto at = std::search(g.begin(), g.end(), comps, comps + 10) + 10;
    at[0] = 0x55;
    at[1] = 0x85; // class index 0x555: out of range
    CArchive in(g);
    std::unique_ptr<CTestTreeDesign> back(static_cast<CTestTreeDesign*>(in.ReadNewObject(nullptr)));
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->IsEmpty());
    EXPECT_EQ(back->ChildCount(), 5);
    ASSERT_TRUE(back->m_pComponents);
}

TEST(PartTreeArchive, UnknownGroupNameIsDeletedWithItsParts)
{
    CTestTreeDesign d;
    d.CreateMissingGroups();
    auto* extra = new CPart;
    extra->AppendChild(new CTestComp(CRect(0, 0, 5, 5)));
    d.AppendChild(extra);
    d.m_mapGroups["GADGETS"] = extra;
    d.AddChild(new CDummyPart(CRect(0, 0, 1, 1), extra->GetFirstChild())); // refers into it
    Bytes b = WriteDesign(d);
    CArchive in(b);
    std::unique_ptr<CTestTreeDesign> back(static_cast<CTestTreeDesign*>(in.ReadNewObject(nullptr)));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ChildCount(), 5);
    EXPECT_EQ(back->NameOfGroup(extra), "");
    auto* dummy = static_cast<CDummyPart*>(back->m_pOthers->GetFirstChild());
    // The reference into the deleted group is cleared, not left dangling.
    EXPECT_EQ(dummy->m_pTarget, nullptr);
}

TEST(PartTreeArchive, OldChainConversion)
{
    // A file without a family: a plain chain of groups, then the design's
    // base data.  Version 3: OTHERS, COMPONENTS, WIRES, PROBES and three
    // parts more, all of which are freed.
    auto chain = [](WORD version, int groups) {
        ByteWriter w;
        for (int i = 0; i < groups; ++i) {
            if (i == 0)
                w.newClass("CPart", 2);
            else
                w.classRef(1);
            w.w16(0).rect(i, i, i + 1, i + 1);
            if (version > 2) w.w16(0);
            if (version > 3) w.w16(0);
            if (version >= 400) w.w16(0);
        }
        w.w16(0).rect(0, 0, 0, 0);
        if (version > 2) w.w16(0);
        if (version > 3) w.w16(0);
        if (version >= 400) w.w16(0);
        return w.b;
    };
    {
        Bytes b = chain(3, 7);
        CTestTreeDesign d;
        CArchive in(b);
        in.SetVersion(3);
        d.SerializeTree(in);
        EXPECT_EQ(in.BytesLeft(), 0u);
        EXPECT_EQ(d.m_pOthers->GetRect().left, 0);
        EXPECT_EQ(d.m_pComponents->GetRect().left, 1);
        EXPECT_EQ(d.m_pWires->GetRect().left, 2);
        EXPECT_EQ(d.m_pProbes->GetRect().left, 3);
        EXPECT_EQ(d.ChildCount(), 5); // the four and a new FLOWOBJECTS
        EXPECT_EQ(d.m_mapGroups.size(), 5u);
    }
    {
        Bytes b = chain(2, 3);
        CTestTreeDesign d;
        CArchive in(b);
        in.SetVersion(2);
        d.SerializeTree(in);
        EXPECT_EQ(d.m_pComponents->GetRect().left, 0);
        EXPECT_EQ(d.m_pWires->GetRect().left, 1);
        EXPECT_EQ(d.m_pProbes->GetRect().left, 2);
        EXPECT_TRUE(d.m_pOthers->GetRect().IsRectNull());
    }
    for (auto [version, groups] : {std::pair<WORD, int>{3, 3}, {2, 2}, {400, 0}}) {
        Bytes b = chain(version, groups);
        CTestTreeDesign d;
        CArchive in(b);
        in.SetVersion(version);
        try {
            d.SerializeTree(in);
            FAIL() << version;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::badClass) << version;
        }
    }
}

TEST(PartTreeArchive, Version400SkipsUnreadablePartsOfTheChain)
{
    ByteWriter w;
    w.newClass("CPart", 2).w16(0).rect(0, 0, 1, 1).w16(0).w16(0).w16(0);
    w.newClass("CNoSuchPart", 1);                 // unreadable: skipped
    w.classRef(1).w16(0).rect(1, 1, 2, 2).w16(0).w16(0).w16(0);
    w.classRef(1).w16(0).rect(2, 2, 3, 3).w16(0).w16(0).w16(0);
    w.classRef(1).w16(0).rect(3, 3, 4, 4).w16(0).w16(0).w16(0);
    w.w16(0).rect(0, 0, 0, 0).w16(0).w16(0).w16(0);
    CTestTreeDesign d;
    CArchive in(w.b);
    in.SetVersion(400);
    d.SerializeTree(in);
    EXPECT_EQ(d.m_pProbes->GetRect().left, 3);
    // The same at version 4 fails.
    CTestTreeDesign d4;
    CArchive in4(w.b);
    in4.SetVersion(400 - 396);
    EXPECT_THROW(d4.SerializeTree(in4), CArchiveException);
}

TEST(PartTreeArchive, GroupChildrenCarryTheirSeparator)
{
    // One plain part in OTHERS: the group's list is mode 1 ("~$+]OB@#" after
    // each child, the group itself without trailer); the part's own record
    // is an ordinary one (mode 2 list, trailer).
    CTestTreeDesign d;
    d.CreateMissingGroups();
    d.AddChild(new CPart(CRect(1, 2, 3, 4)));
    Bytes b = Write(kCurrentVersion, [&](CArchive& ar) { d.SerializeTree(ar); });
    ByteWriter w;
    w.str("OTHERS").newClass("CPart", 2);
    w.classRef(1).w16(0).rect(1, 2, 3, 4).w16(0).w16(0).w16(0).raw("TestBCM", 8); // the part
    w.raw8("~$+]OB@#").w16(0);                                                     // end of the group's list
    w.rect(0, 0, 0, 0).w16(0).w16(0).w16(0).raw8("+_@TR#^)");
    ASSERT_GE(b.size(), w.b.size());
    EXPECT_EQ(Bytes(b.begin(), b.begin() + long(w.b.size())), w.b);
}
