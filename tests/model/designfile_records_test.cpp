// The records every design file carries for other subsystems: the graph
// settings (CScopeToolbar, CScale) and the question range.
#include "model/designfile/question_range.h"
#include "model/designfile/scope_settings.h"

#include "part_testclasses.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "model/text/textlabel.h"
#include "text_qtapp.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Store(CObject& o, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    o.Serialize(ar);
    return ar.GetBuffer();
}

template <class T>
void Load(T& o, const std::vector<uint8_t>& bytes, WORD version)
{
    CArchive ar(bytes);
    ar.SetVersion(version);
    o.Serialize(ar);
    EXPECT_EQ(ar.BytesLeft(), 0u);
}

ByteWriter& Number(ByteWriter& w, double value, char prefix, const char* unit)
{
    uint64_t bits;
    double scale = 1.0;
    std::memcpy(&bits, &value, 8);
    w.w32(uint32_t(bits)).w32(uint32_t(bits >> 32));
    std::memcpy(&bits, &scale, 8);
    w.w32(uint32_t(bits)).w32(uint32_t(bits >> 32));
    return w.w8(prefix).str(unit).w16(5);
}

ByteWriter& Double(ByteWriter& w, double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    return w.w32(uint32_t(bits)).w32(uint32_t(bits >> 32));
}

} // namespace

TEST(DesignfileScope, DefaultRecordBytes)
{
    CScopeToolbar scope;
    ByteWriter w;
    // The CPart record: no children, rectangle, selected, orientation, flags, trailer.
    w.w16(0).rect(0, 0, 0, 0).w16(0).w16(0).w16(0).raw8("TestBCM");
    w.b.back() = 0;
    for (int g = 0; g < 2; ++g) {
        w.w16(1).w16(1).w16(1).w16(1).w16(0).w16(0).w32(14);
        Number(w, 10.0, ' ', "V");
        Number(w, 0.0, ' ', "V");
    }
    w.w16(0).w16(0).w16(1).w32(0);
    Number(w, 2.0, ' ', "s");
    EXPECT_EQ(Store(scope, 0x20B8), w.b);
}

TEST(DesignfileScope, RoundTripKeepsEverySetting)
{
    CScopeToolbar a;
    a.twoGraphs = 1;
    a.autoPause = 1;
    a.setting16 = 0;
    a.editedGraph = 1;
    a.graph[1].quantityIndex = 6;
    a.graph[1].channel = {0, 1, 0, 1};
    a.graph[1].difference = {1, 0};
    a.graph[1].maximum.SetValue(50, 3);
    a.timePerDivision.SetValue(5, 3);
    const auto bytes = Store(a, 0x20B8);
    CScopeToolbar b;
    Load(b, bytes, 0x20B8);
    EXPECT_EQ(Store(b, 0x20B8), bytes);
    EXPECT_EQ(b.GetGraphCount(), 2);
    EXPECT_EQ(b.GetQuantityBit(1), 2u);
}

TEST(DesignfileScope, Version4RenumbersTheQuantityIndex)
{
    CScopeToolbar a;
    a.graph[0].quantityIndex = 8;
    a.graph[1].quantityIndex = 1;
    const auto bytes = Store(a, 4);
    CScopeToolbar b;
    Load(b, bytes, 4);
    EXPECT_EQ(b.graph[0].quantityIndex, 10u); // Power
    EXPECT_EQ(b.graph[1].quantityIndex, 2u);
    CScopeToolbar c;
    Load(c, bytes, 5);
    EXPECT_EQ(c.graph[0].quantityIndex, 8u);
}

TEST(DesignfileScope, ZeroMaximumAndBadIndicesReturnToDefaults)
{
    CScopeToolbar a;
    a.graph[0].maximum.SetValue(0, 4);
    a.timePerDivision.SetValue(7, 4);
    a.graph[1].quantityIndex = 99;
    CScopeToolbar b;
    Load(b, Store(a, 0x20B8), 0x20B8);
    EXPECT_DOUBLE_EQ(b.graph[0].maximum.value, 10.0);
    EXPECT_DOUBLE_EQ(b.timePerDivision.value, 2.0);
    EXPECT_EQ(b.graph[1].quantityIndex, 14u);
    CScopeToolbar c;
    c.graph[1].quantityIndex = 99;
    c.editedGraph = 7;
    CScopeToolbar d;
    Load(d, Store(c, 0x20B8), 0x20B8);
    EXPECT_EQ(d.graph[1].quantityIndex, 14u);
    EXPECT_EQ(d.editedGraph, 0u);
}

TEST(DesignfileScope, OldestLayout)
{
    ByteWriter w;
    // Version 3: children mode 0, rectangle, selected (v > 2), no orientation,
    // no flags; the trailer is not read without a family.
    w.w16(0).rect(1, 2, 3, 4).w16(0);
    Double(w, 5.0);   // time per division
    Double(w, 20.0);  // maximum
    Double(w, -20.0); // minimum
    w.w32(1).w32(1);  // prefix steps: time and y in milli
    w.w16(1).w16(0).w16(1);
    CScopeToolbar s;
    s.twoGraphs = 1;
    Load(s, w.b, 3);
    EXPECT_DOUBLE_EQ(s.timePerDivision.value, 0.005);
    EXPECT_EQ(s.timePerDivision.prefix, 'm');
    EXPECT_DOUBLE_EQ(s.graph[0].maximum.value, 0.02);
    EXPECT_DOUBLE_EQ(s.graph[0].minimum.value, -0.02);
    EXPECT_EQ(s.graph[0].difference[0], 1);
    EXPECT_EQ(s.autoPause, 1);
    EXPECT_EQ(s.twoGraphs, 0);
    // Written back in the same layout.
    EXPECT_EQ(Store(s, 3), w.b);
}

TEST(DesignfileScope, ScaleRecord)
{
    CScale a;
    a.graph[1].maximum = 3.5;
    a.graph[1].quantityIndex = 12;
    a.setting3 = 77;
    const auto bytes = Store(a, 0x20B8);
    EXPECT_EQ(bytes.size(), 4u + 2 * (8 + 8 + 4 + 12 + 4) + 8 + 4 + 2 + 4);
    CScale b;
    Load(b, bytes, 0x20B8);
    EXPECT_EQ(Store(b, 0x20B8), bytes);
    EXPECT_EQ(ScaleQuantityBit(12), 8192u);
    EXPECT_EQ(ScaleQuantityBit(10), 1024u);
    EXPECT_EQ(ScaleQuantityBit(15), 0u);
    EXPECT_EQ(Store(a, 3).size(), 8u * 3 + 4 + 4 + 2 * 3);
    // A graph count other than 2 is refused.
    auto bad = bytes;
    bad[0] = 200;
    CScale c;
    CArchive ar(bad);
    EXPECT_THROW(c.Serialize(ar), CArchiveException);
}

TEST(DesignfileScope, QuantityList)
{
    EXPECT_STREQ(ScopeQuantityName(0), "Acceleration x");
    EXPECT_EQ(ScopeQuantityBit(14), 1u);
    EXPECT_EQ(ScopeQuantityBit(11), 0x8000u);
    EXPECT_EQ(ScopeQuantityIndexOfName("Power"), 10);
    EXPECT_EQ(ScopeQuantityIndexOfName("Nothing"), -1);
    EXPECT_EQ(ScopeQuantityBit(15), 0u);
}

TEST(DesignfileQuestions, RecordAndDamagedCounts)
{
    CQuestionRange r;
    r.count = 5;
    r.name = "..\\answers\\key.zrn";
    r.linked = 1;
    const auto bytes = Store(r, 0x20B8);
    ByteWriter w;
    w.w32(5).str("..\\answers\\key.zrn").w16(1);
    EXPECT_EQ(bytes, w.b);
    CQuestionRange b;
    Load(b, bytes, 0x20B8);
    EXPECT_EQ(b.count, 5);
    EXPECT_EQ(b.questions.size(), 5u);
    EXPECT_EQ(b.linked, 1);

    for (uint32_t damaged : {0x80000000u, 0x7FFFFFFFu}) {
        ByteWriter d;
        d.w32(damaged).str("a/b.zrn").w16(0);
        CQuestionRange c;
        Load(c, d.b, 0x20B8);
        EXPECT_LE(c.questions.size(), size_t(kMaxQuestionCount));
        EXPECT_EQ(c.name, "a\\b.zrn");
    }
}

TEST(DesignfileQuestions, RegisterCountAndCorrectness)
{
    CQuestionRange r;
    r.Resize(5);
    CQuestionLink none, a, b, pic, wrongPic;
    a.number = 3;
    a.correctAnswer = "Ohm";
    a.userAnswer = "ohm";
    b.number = 3;
    pic.number = 4;
    pic.kind = 2;
    pic.pictureSelected = 1;
    wrongPic.number = 5;
    wrongPic.kind = 1;
    EXPECT_EQ(r.SetRange(&none), QR_INVALID);
    EXPECT_EQ(r.SetRange(&a), QR_REGISTERED);
    EXPECT_EQ(r.SetRange(&a), QR_REGISTERED);
    EXPECT_EQ(r.SetRange(&b), QR_CONFLICT);
    EXPECT_EQ(b.range, nullptr);
    EXPECT_EQ(r.SetRange(&pic), QR_REGISTERED);
    EXPECT_EQ(r.SetRange(&wrongPic), QR_PICTURE_NOT_CORRECT);
    CQuestionLink beyond;
    beyond.number = 6;
    EXPECT_EQ(r.Register(&beyond), QR_INVALID);
    EXPECT_EQ(r.GetLink(3), &a);
    EXPECT_EQ(r.GetLink(0), nullptr);
    EXPECT_EQ(r.GetLink(6), nullptr);
    CQuestionCounts c;
    r.CountAnswers(c);
    EXPECT_EQ(c.total, 5);
    EXPECT_EQ(c.present, 2);
    EXPECT_EQ(c.correct, 2);
    EXPECT_EQ(c.answered, 2);
    r.ReleaseQuestion(&a);
    EXPECT_EQ(r.GetLink(3), nullptr);
}

TEST(DesignfileQuestions, LinksHaveOneMaster)
{
    CQuestionRange master, a;
    a.linked = 1;
    EXPECT_EQ(a.GetMasterRange(), nullptr);
    a.AddLink(&master);
    master.AddLink(&a);
    EXPECT_EQ(a.GetMasterRange(), &master);
    EXPECT_EQ(master.GetMasterRange(), &master);
    CQuestionRange other;
    a.AddLink(&other);
    EXPECT_EQ(a.links.size(), 1u);
    EXPECT_EQ(a.GetMasterRange(), &other);
    master.RemoveLink(&a);
    EXPECT_TRUE(master.links.empty());
    a.RemoveLink(&other);
    EXPECT_TRUE(a.links.empty());
}

TEST(DesignfileQuestions, CheckFindsDuplicateTextQuestions)
{
    EnsureTextGuiApp();
    CTestDesign design;
    design.CreateMissingGroups();
    auto* first = new CTextLabel(&design, CPoint(0, 0), nullptr);
    auto* second = new CTextLabel(&design, CPoint(0, 40), nullptr);
    first->question.number = 3;
    second->question.number = 3;
    design.AppendByClass(first);
    design.AppendByClass(second);
    CQuestionRange r(&design);
    CRecordingMessageBox box;
    CMessageBoxScope scope(&box);
    r.CheckQuestionNumbers();
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.GetLink(3), &first->question);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, LoadResString(36586) + "3");
}

TEST(DesignfileQuestions, DeletedQuestionsLeaveTheRange)
{
    EnsureTextGuiApp();
    CTestDesign design;
    design.CreateMissingGroups();
    auto* label = new CTextLabel(&design, CPoint(0, 0), nullptr);
    label->question.number = 2;
    design.AppendByClass(label);
    CQuestionRange r(&design);
    r.Resize(2);
    ASSERT_EQ(r.SetRange(&label->question), QR_REGISTERED);
    design.RemovePart(label);
    delete label;
    EXPECT_EQ(r.GetLink(2), nullptr);
}
