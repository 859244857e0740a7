// The serial elements apart from the run: their records (every field, a
// truncated one, values out of bounds), captions, property toolbars, the
// send options hook and the BASIC lines, compared with text worked out by
// hand from the frame convention (preamble, an address and a value per
// frame, the end marker) and the class table of the pins.
#include "flow_start_support.h"
#include "flowchart/flow_serial.h"
#include "flowchart/flow_stop.h"
#include "model/display/picture_source.h"
#include "model/display/visual.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"

#include "record_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace records;

// Every cut of a record fails with the archive's exception and leaks
// nothing.
void ExpectTruncationsFailCleanly(const Bytes& bytes)
{
    for (size_t cut = 1; cut < bytes.size(); ++cut) {
        Bytes part(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() - cut));
        CArchive ar(part);
        ar.SetVersion(kCurrentVersion);
        bool threw = false;
        try {
            std::unique_ptr<CObject> p(ar.ReadNewObject(RUNTIME_CLASS(CPart)));
        } catch (const CException&) {
            threw = true;
        }
        EXPECT_TRUE(threw) << cut;
    }
}

// ---- records ----

TEST(FlowSerialRecords, SendRoundTrip)
{
    CFlowSend s;
    s.m_nStepCount = 13;
    s.m_bSending = 1;
    s.m_bSendAnalogue = 1;
    s.m_bWhole = 1;
    s.m_bSendDigital = 0;
    s.m_bSendVariable = 1;
    s.m_nAnalogueCount = 3;
    const int values[6] = {42, -1, 7, 0, 255, -1};
    std::copy(std::begin(values), std::end(values), s.m_values);
    auto back = ReadOne<CFlowSend>(WriteOne(&s));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_nStepCount, 13);
    EXPECT_EQ(back->m_bSending, 1);
    EXPECT_EQ(back->m_bSendAnalogue, 1);
    EXPECT_EQ(back->m_bWhole, 1);
    EXPECT_EQ(back->m_bSendDigital, 0);
    EXPECT_EQ(back->m_bSendVariable, 1);
    EXPECT_EQ(back->m_nAnalogueCount, 3);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(back->m_values[i], values[i]) << i;
    ExpectTruncationsFailCleanly(WriteOne(&s));
}

TEST(FlowSerialRecords, SendValuesOutOfBoundsAreBroughtBack)
{
    CFlowSend s;
    s.m_nStepCount = 100000;
    s.m_nAnalogueCount = 9;
    s.m_values[0] = 256;
    s.m_values[1] = -7;
    auto back = ReadOne<CFlowSend>(WriteOne(&s));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_nStepCount, 140); // 20 x (6 frames + the end)
    EXPECT_EQ(back->m_nAnalogueCount, 4);
    EXPECT_EQ(back->m_values[0], -1);
    EXPECT_EQ(back->m_values[1], -1);
}

TEST(FlowSerialRecords, ReceiveRoundTrip)
{
    CFlowReceive r;
    r.m_bWaiting = 1;
    r.m_bReceived = 1;
    r.m_nLineSamples = 5;
    r.m_nSelected = 3;
    r.m_strSelectedLabel = "Address 4 (Analog 1) : ";
    r.m_strEdited = "light";
    r.m_targets[3] = "light";
    auto back = ReadOne<CFlowReceive>(WriteOne(&r));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_bWaiting, 1);
    EXPECT_EQ(back->m_bReceived, 1);
    EXPECT_EQ(back->m_nLineSamples, 1);
    EXPECT_EQ(back->m_nSelected, 3);
    EXPECT_EQ(back->m_strSelectedLabel, "Address 4 (Analog 1) : ");
    EXPECT_EQ(back->m_strEdited, "light");
    const char* targets[6] = {"x", "rpins", "r_ain0", "light", "r_ain2", "r_ain3"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(back->m_targets[i], targets[i]) << i;
    EXPECT_EQ(back->m_strCaption, "Receive");

    r.m_nSelected = 6;
    back = ReadOne<CFlowReceive>(WriteOne(&r));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_nSelected, 0);
    ExpectTruncationsFailCleanly(WriteOne(&r));
}

// ---- pictures ----

TEST(FlowSerialPictures, SendBoxAndButtons)
{
    EXPECT_TRUE(PictureLoadErrors().isEmpty()) << PictureLoadErrors().join("\n").toStdString();
    struct Case {
        const char* cls;
        int bitmap;
        CSize size;
    };
    for (const Case c : {Case{"CFlowSend", 596, CSize(112, 64)}, Case{"CFlowReceive", 492, CSize(112, 32)}}) {
        CVisual* v = FlowVisual(c.cls);
        ASSERT_NE(v, nullptr) << c.cls;
        EXPECT_EQ(v->GetBitmapId(0), c.bitmap);
        EXPECT_EQ(v->GetFrameCount(), 3);
        EXPECT_EQ(v->GetSize(), c.size);
        ASSERT_TRUE(v->LoadFrames());
        // Input on top, output below.
        const std::vector<PinStub> pins = v->LayoutPins(0);
        ASSERT_EQ(pins.size(), 2u) << c.cls;
        const bool up0 = pins[0].to.y < pins[0].from.y, up1 = pins[1].to.y < pins[1].from.y;
        EXPECT_NE(up0, up1) << c.cls;
        for (const PinStub& p : pins) EXPECT_EQ(p.to.x, p.from.x) << c.cls;
    }
    // The send box's three looks: white, green, red inside.
    const PictureSource* pic = FindPicture(596);
    ASSERT_NE(pic, nullptr);
    const auto inside = [&](int frame) {
        return pic->image.pixel(pic->frameOffset.x + frame * pic->frameStep + 40, pic->frameOffset.y + 30);
    };
    EXPECT_EQ(inside(0), qRgb(255, 255, 255));
    EXPECT_GT(qGreen(inside(1)), qRed(inside(1)));
    EXPECT_GT(qRed(inside(2)), qGreen(inside(2)));
    // The toolbar strip: one 32 x 32 cell per button.
    const PictureSource* strip = FindPicture(598);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->frames, 5);
    EXPECT_EQ(strip->frameSize, CSize(32, 32));
}

// ---- captions and toolbars ----

struct SerialBench : GuiBench {
    CChipStart* start;
    CFakeChip chip;
    SerialBench() { start = Add<CChipStart>(100, 40); }
};

TEST(FlowSerialSend, CaptionListsWhatIsSent)
{
    struct Case {
        bool variable, digital, analogue;
        int count;
        const char* name;
        const char* caption;
        const char* info;
    };
    const Case cases[] = {
        {true, true, false, 4, "x", "Send : x\n         : Digital port", "Send : x; Digital port"},
        {true, false, true, 2, "counter", "Send : counte..\n         : 2 Analog", "Send : counte..; 2 Analog"},
        {true, false, false, 4, "level1", "Send : level1", "Send : level1"},
        {false, true, true, 4, "x", "Send : Digital port\n         : 4 Analog", "Send : Digital port; 4 Analog"},
        {false, false, false, 4, "x", "Send : --- ", "Send : "},
    };
    for (const Case& c : cases) {
        SerialBench b;
        auto* s = b.Add<CFlowSend>(100, 120);
        s->m_bSendVariable = c.variable;
        s->m_bSendDigital = c.digital;
        s->m_bSendAnalogue = c.analogue;
        s->m_nAnalogueCount = c.count;
        s->m_strVariable = c.name;
        s->UpdateCaption();
        EXPECT_EQ(s->m_strCaption, c.caption) << c.caption;
        EXPECT_EQ(s->m_strMessageTag, c.info) << c.caption;
    }
}

TEST(FlowSerialSend, NewElementDefaults)
{
    SerialBench b;
    auto* s = b.Add<CFlowSend>(100, 120);
    EXPECT_EQ(s->m_bSendVariable, 1);
    EXPECT_EQ(s->m_bSendDigital, 1);
    EXPECT_EQ(s->m_bSendAnalogue, 0);
    EXPECT_EQ(s->m_bWhole, 0);
    EXPECT_EQ(s->m_nAnalogueCount, 4);
    for (int v : s->m_values) EXPECT_EQ(v, -1);
    EXPECT_EQ(s->m_strCaption, "Send : x\n         : Digital port");
    // Its picture: 112 x 64, input above and output below.
    EXPECT_EQ(s->m_rect.Width(), 112);
    EXPECT_EQ(s->m_rect.Height(), 64);
    ASSERT_EQ(s->GetTerminalCount(), 2);
    EXPECT_TRUE(s->HasInputConnector());
    auto* r = b.Add<CFlowReceive>(300, 120);
    EXPECT_EQ(r->m_rect.Height(), 32);
    EXPECT_EQ(r->m_strCaption, "Receive");
    EXPECT_EQ(r->m_strSelectedLabel, "Address 1 (Variable) : ");
    EXPECT_EQ(r->m_strEdited, "x");
    EXPECT_EQ(s->GetKindCode(), 7);
    EXPECT_EQ(r->CanProbeAt(0, 0), 0);
}

TEST(FlowSerialSend, ToolbarItemsAndCommands)
{
    SerialBench b;
    auto* s = b.Add<CFlowSend>(100, 120);
    CControlItemList items(-1);
    s->FillProperties(items);
    const int first = items.FindById(36111);
    ASSERT_GE(first, 0);
    const struct {
        int type, id, width;
    } expected[] = {{CI_TOOLBUTTON, 36111, -1}, {CI_SEPARATOR, 0, -1},  {CI_EDIT, 36053, 100},
                    {CI_SEPARATOR, 0, -1},      {CI_TOOLBUTTON, 36112, -1}, {CI_TOOLBUTTON, 36113, -1},
                    {CI_SEPARATOR, 0, -1},      {CI_DROPLIST, 36059, 40},   {CI_SEPARATOR, 0, -1},
                    {CI_TOOLBUTTON_LOCKED, 36074, -1}, {CI_TOOLBUTTON, 33897, -1}};
    ASSERT_EQ(items.GetCount() - first, 11);
    for (int k = 0; k < 11; ++k) {
        EXPECT_EQ(items[first + k].type, expected[k].type) << k;
        EXPECT_EQ(items[first + k].id, expected[k].id) << k;
        if (expected[k].width > 0) {
            EXPECT_EQ(items[first + k].width, expected[k].width) << k;
        }
    }
    EXPECT_EQ(items[first + 7].label, "1\n2\n3\n4");
    EXPECT_TRUE(items[first + 10].options & CIO_ADDS_PART);

    std::vector<int> ids;
    EXPECT_EQ(s->GetPropertyBitmap(ids, nullptr), 5);
    EXPECT_EQ(ids, (std::vector<int>{36111, 36112, 36113, 36074, 36043}));

    int flag = 0;
    EXPECT_EQ(s->IsPropertyChecked(36111, flag), 1);
    EXPECT_EQ(s->OnPropertyCommand(36111, ""), 65);
    EXPECT_EQ(s->IsPropertyChecked(36111, flag), 0);
    EXPECT_EQ(s->OnPropertyCommand(36113, ""), 65);
    EXPECT_EQ(s->IsPropertyChecked(36113, flag), 1);
    EXPECT_EQ(s->OnPropertyCommand(36112, ""), 65);
    EXPECT_EQ(s->IsPropertyChecked(36112, flag), 0);
    EXPECT_EQ(s->OnPropertyCommand(36059, "2"), 65);
    EXPECT_EQ(s->m_nAnalogueCount, 2);
    // A count outside the list changes nothing.
    for (const char* refused : {"5", "0", "", "x", "12"}) {
        EXPECT_EQ(s->OnPropertyCommand(36059, refused), 65);
        EXPECT_EQ(s->m_nAnalogueCount, 2) << refused;
    }
    EXPECT_EQ(s->m_strCaption, "Send : 2 Analog");
    EXPECT_EQ(s->OnPropertyCommand(36111, ""), 65);
    EXPECT_EQ(s->OnPropertyCommand(36053, "my var"), 65);
    EXPECT_EQ(s->m_strVariable, "x"); // a name with a blank
    EXPECT_EQ(s->OnPropertyCommand(36053, ""), 65);
    EXPECT_EQ(s->m_strVariable, " ");
    EXPECT_EQ(s->OnPropertyCommand(36053, "temp"), 65);
    s->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36053)].label, "temp");
    EXPECT_EQ(items[items.FindById(36059)].label, "2");
}

class CScriptedSendDialog : public CFlowSendDialogHost {
public:
    bool Edit(int& whole) override
    {
        shown = whole;
        whole = answer;
        return ok;
    }
    int shown = -1;
    int answer = 1;
    bool ok = true;
};

TEST(FlowSerialSend, OptionsDialogTakesTheWholeFlagOnOk)
{
    SerialBench b;
    auto* s = b.Add<CFlowSend>(100, 120);
    // No dialog: nothing changes.
    CFlowSendDialogHost* old = CFlowSendDialogHost::Install(nullptr);
    EXPECT_EQ(s->OnPropertyCommand(36074, ""), 65);
    EXPECT_EQ(s->m_bWhole, 0);
    CScriptedSendDialog dialog;
    CFlowSendDialogHost::Install(&dialog);
    EXPECT_EQ(s->OnPropertyCommand(36074, ""), 65);
    EXPECT_EQ(dialog.shown, 0);
    EXPECT_EQ(s->m_bWhole, 1);
    dialog.answer = 0;
    dialog.ok = false;
    EXPECT_EQ(s->OnPropertyCommand(36074, ""), 65);
    EXPECT_EQ(dialog.shown, 1);
    EXPECT_EQ(s->m_bWhole, 1); // Cancel
    CFlowSendDialogHost::Install(old);
}

TEST(FlowSerialReceive, ToolbarChoosesAddressesAndNamesTheirVariables)
{
    SerialBench b;
    auto* r = b.Add<CFlowReceive>(100, 120);
    CControlItemList items(-1);
    r->FillProperties(items);
    const int first = items.FindById(36052);
    ASSERT_GE(first, 0);
    ASSERT_EQ(items.GetCount() - first, 4);
    EXPECT_EQ(items[first].label, "Label : ");
    EXPECT_EQ(items[first + 1].type, CI_DROPLIST);
    EXPECT_EQ(items[first + 1].width, 150);
    EXPECT_EQ(items[first + 1].label, "Address 1 (Variable) : \nAddress 2 (Digital Port) : \nAddress 3 (Analog 0) : \n"
                                      "Address 4 (Analog 1) : \nAddress 5 (Analog 2) : \nAddress 6 (Analog 3) : ");
    EXPECT_EQ(items[first + 2].id, 36059);
    EXPECT_EQ(items[first + 3].id, 33898);

    EXPECT_EQ(r->OnPropertyCommand(36053, "Address 3 (Analog 0) : "), 65);
    EXPECT_EQ(r->m_nSelected, 2);
    EXPECT_EQ(r->m_strEdited, "r_ain0");
    EXPECT_EQ(r->OnPropertyCommand(36059, "light"), 65);
    EXPECT_EQ(r->m_targets[2], "light");
    // A name with a blank is refused: the old one comes back.
    EXPECT_EQ(r->OnPropertyCommand(36059, "dim light"), 65);
    EXPECT_EQ(r->m_targets[2], "light");
    EXPECT_EQ(r->m_strEdited, "light");
    // The name of another address is cut until it differs from them all:
    // "rpins" -> "rpin"; "r_ain1" -> "r_ain" (not r_ain1 .. r_ain3).
    EXPECT_EQ(r->OnPropertyCommand(36059, "rpins"), 4);
    EXPECT_EQ(r->m_strEdited, "rpin");
    EXPECT_EQ(r->m_targets[2], "light");
    EXPECT_EQ(r->OnPropertyCommand(36059, "R_AIN1"), 4);
    EXPECT_EQ(r->m_strEdited, "R_AIN");
    r->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36053)].label, "Address 3 (Analog 0) : ");
    EXPECT_EQ(items[items.FindById(36059)].label, "R_AIN");
}

// ---- BASIC lines ----

class CSerialFakeChip : public CFakeChip {
public:
    int GetSendPinIndex() override { return sendPin; }
    int sendPin = 7;
};

struct ExportRig : GuiBench {
    CChipStart* start;
    CSerialFakeChip chip;
    ExportRig(const char* cls)
    {
        start = Add<CChipStart>(100, 40);
        chip.chipClass = cls;
        start->chip = &chip;
    }
    CString SendText(CFlowSend* s, int* code)
    {
        CString out;
        s->GetBasicText(out, code, start);
        return out;
    }
};

const char* const kNl = "\n            ";

TEST(FlowSerialBasic, NothingSelectedIsThePreambleAndTheEnd)
{
    ExportRig g("STAMP");
    auto* s = g.Add<CFlowSend>(100, 120);
    s->m_bSendVariable = 0;
    s->m_bSendDigital = 0;
    int code = -1;
    EXPECT_EQ(g.SendText(s, &code), CString("high 7") + kNl + "serout 7, T1200,($AA, $AA, $AA, $AA, $00, $00, $99, $66, $66)" +
                                        kNl + "pause 50\n");
    EXPECT_EQ(code, 0);
    CString decl;
    int kind = -1;
    s->GetBasicDeclarations(decl, &kind, g.start);
    EXPECT_EQ(kind, 0);
    CString routine;
    s->GetBasicSubroutine(routine, &kind, g.start);
    EXPECT_EQ(routine, "");
}

TEST(FlowSerialBasic, EverythingSentFramesInAddressOrder)
{
    ExportRig g("28 pin PIC");
    auto* s = g.Add<CFlowSend>(100, 120);
    s->m_strVariable = "count";
    s->m_bSendAnalogue = 1;
    s->m_nAnalogueCount = 2;
    int code = -1;
    const CString serout = "serout 7, T1200,";
    EXPECT_EQ(g.SendText(s, &code), CString("high 7") + kNl + "readADC 0, a0" + kNl + "readADC 1, a1" + kNl +
                                        "gosub digital" + kNl + serout +
                                        "($AA, $AA, $AA, $AA, $00, $00, $99, 1, count)" + kNl + "pause 50" + kNl +
                                        serout + "(2, dig)" + kNl + "pause 50" + kNl + serout + "(3, a0)" + kNl +
                                        "pause 50" + kNl + serout + "(4, a1)" + kNl + "pause 50" + kNl + serout +
                                        "($66, $66)" + kNl + "pause 50\n");
    EXPECT_EQ(code, 0);
}

TEST(FlowSerialBasic, TheFirstFrameIsTheFirstAddressSent)
{
    struct Case {
        bool variable, digital, analogue;
        const char* first;
    };
    for (const Case c : {Case{false, true, true, ", 2, dig)"}, Case{false, false, true, ", 3, a0)"}}) {
        ExportRig g("Generic");
        auto* s = g.Add<CFlowSend>(100, 120);
        s->m_bSendVariable = c.variable;
        s->m_bSendDigital = c.digital;
        s->m_bSendAnalogue = c.analogue;
        s->m_nAnalogueCount = 1;
        int code = -1;
        const CString text = g.SendText(s, &code);
        EXPECT_NE(text.find(CString("serout 15, T1200,($AA, $AA, $AA, $AA, $00, $00, $99") + c.first), CString::npos)
            << text;
        EXPECT_EQ(text.find("1, x)"), CString::npos);
        // The end frame closes the text.
        const CString end = CString("serout 15, T1200,($66, $66)") + kNl + "pause 50\n";
        EXPECT_EQ(text.substr(text.size() - end.size()), end);
    }
}

TEST(FlowSerialBasic, PinsAndErrorsFollowTheClass)
{
    struct Case {
        const char* cls;
        const char* pin;
        int analogueCode;
    };
    for (const Case c : {Case{"STAMP", "7", 1013}, Case{"18 pin PIC", "7", 1013}, Case{"28 pin PIC", "7", 0},
                         Case{"28 pin PIC (USART)", "pin6", 0}, Case{"Generic", "15", 0}}) {
        ExportRig g(c.cls);
        auto* s = g.Add<CFlowSend>(100, 120);
        s->m_bSendAnalogue = 1;
        int code = -1;
        const CString text = g.SendText(s, &code);
        EXPECT_EQ(text.substr(0, text.find('\n')), CString("high ") + c.pin) << c.cls;
        EXPECT_EQ(code, c.analogueCode) << c.cls;
        // Without a Send pin the export has no serial line: E109.
        g.chip.sendPin = 50;
        g.SendText(s, &code);
        EXPECT_EQ(code, 957) << c.cls;
    }
    // No microcontroller at all.
    GuiBench b;
    auto* start = b.Add<CFlowStart>(100, 40);
    auto* s = b.Add<CFlowSend>(100, 120);
    CString out;
    int code = -1;
    s->GetBasicText(out, &code, start);
    EXPECT_EQ(code, 957);
}

TEST(FlowSerialBasic, DeclarationsCountTheBytesUsed)
{
    struct Case {
        bool digital, analogue;
        int count;
        const char* text;
        int kind;
    };
    for (const Case c : {Case{true, false, 4, "dig", 1}, Case{true, true, 3, "", 11}, Case{false, true, 2, "", 6},
                         Case{false, false, 4, "", 0}}) {
        ExportRig g("28 pin PIC");
        auto* s = g.Add<CFlowSend>(100, 120);
        s->m_bSendDigital = c.digital;
        s->m_bSendAnalogue = c.analogue;
        s->m_nAnalogueCount = c.count;
        CString out = "?";
        int kind = -1;
        s->GetBasicDeclarations(out, &kind, g.start);
        EXPECT_EQ(out, c.text);
        EXPECT_EQ(kind, c.kind);
    }
}

TEST(FlowSerialBasic, TheDigitalRoutineTestsThePinsOfTheClass)
{
    const CString body = "\n           ";
    auto test = [&](int pin, int weight) {
        return "if pin" + std::to_string(pin) + " = 0 then ADD" + std::to_string(weight * 2) + body +
               "let dig = dig + " + std::to_string(weight) + "\n";
    };
    const CString four = test(0, 1) + "ADD2: " + test(1, 2) + "ADD4: " + test(2, 4) + "ADD8: " + test(3, 8);
    const CString six = four + "ADD16: " + test(4, 16) + "ADD32: " + test(5, 32);
    const CString eight = six + "ADD64: " + test(6, 64) + "ADD128: " + test(7, 128);
    struct Case {
        const char* cls;
        CString tests;
        const char* end;
    };
    const Case cases[] = {{"STAMP", four, "ADD16: return"},           {"18 pin PIC", four, "ADD16: return"},
                          {"28 pin PIC", eight, "ADD256: return"},    {"28 pin PIC (USART)", six, "ADD64: return"},
                          {"Generic", CString(), "ADD16: return"}};
    for (const Case& c : cases) {
        ExportRig g(c.cls);
        auto* s = g.Add<CFlowSend>(100, 120);
        CString out;
        int kind = -1;
        s->GetBasicSubroutine(out, &kind, g.start);
        EXPECT_EQ(out, "digital: let dig = 0" + body + c.tests + c.end + "\n\n") << c.cls;
        EXPECT_EQ(kind, 1);
    }
}

TEST(FlowSerialBasic, AReceiveFlowchartExportsItsLoopAndAllocRoutine)
{
    ExportRig g("Generic");
    auto* r = g.Add<CFlowReceive>(100, 120);
    auto* stop = g.Add<CFlowStop>(100, 220);
    g.Join(g.start->GetOutputTerminal(), r->GetTerminal(0));
    g.Join(r->GetOutputTerminal(), stop->GetTerminal(0));
    r->m_targets[1] = "port";
    g.Reset();
    CString text;
    int code = -1;
    g.start->ExportBasic(text, &code);
    EXPECT_EQ(code, 0);
    // The six targets and "addr" are declared by the element, then "data"
    // by the walk; the loop's labels take number 1 (0 is "main").
    const CString header = "symbol x = b0\nsymbol port = b1\nsymbol r_ain0 = b2\nsymbol r_ain1 = b3\n"
                           "symbol r_ain2 = b4\nsymbol r_ain3 = b5\nsymbol addr = b6\nsymbol data = b7\n";
    const CString main = "main:    serin 0, T1200, ($99), addr, data\n"
                         "repeat1: if addr = $66 then finish1\n"
                         "            gosub alloc\n"
                         "            serin 0, T1200, addr, data \n"
                         "            goto repeat1\n"
                         "finish1: let addr = 0\n"
                         "            end\n";
    const CString alloc = "alloc:   if addr = 1 then VAR\n"
                          "           if addr = 2 then DIGIT\n"
                          "           if addr = 3 then A1\n"
                          "           if addr = 4 then A2\n"
                          "           if addr = 5 then A3\n"
                          "           if addr = 6 then A4\n"
                          "           return\n\n"
                          "VAR:   let x = data \n           return\n"
                          "DIGIT:  let port = data \n           return\n"
                          "A1:     let r_ain0 = data \n           return\n"
                          "A2:     let r_ain1 = data \n           return\n"
                          "A3:     let r_ain2 = data \n           return\n"
                          "A4:     let r_ain3 = data \n           return\n";
    EXPECT_EQ(text, header + "\n" + main + "\n\n" + alloc);

    // The USART class receives on pin 7; without serial pins: E109.
    g.chip.chipClass = "28 pin PIC (USART)";
    CString out;
    r->GetBasicText(out, &code, g.start);
    EXPECT_EQ(out.substr(0, 34), "serin 7, T1200, ($99), addr, data\n");
    EXPECT_EQ(code, 0);
    g.chip.sendPin = 50;
    r->GetBasicText(out, &code, g.start);
    EXPECT_EQ(code, 957);
}

} // namespace
