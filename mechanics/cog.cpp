#include "mechanics/cog.h"

#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "platform/archive.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

WB_IMPLEMENT_SERIAL(CCog, "CObject", 4)

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Speed limit of a slow wheel: 3 pi / 8 radians a step.
constexpr double kSlowPerStep = 1.178097245096175;
// Drawing flags: running, printing.
constexpr unsigned long kRunning = 0x4;
constexpr unsigned long kPrinting = 0x200;

// The wheels there are: pictures (bitmap id, frames) and the rim offset of
// each frame, where the rim meets the line up and to the right at 45
// degrees from the centre (pixels along each axis).
struct CogKind {
    int teeth;
    int pictureCount;
    int ids[4];
    int frames[4];
    uint8_t rim[16];
};
constexpr CogKind kKinds[] = {
    {8, 1, {1242}, {17}, {14, 14, 14, 13, 12, 9, 9, 9, 9, 9, 9, 9, 12, 12, 14, 14}},
    {16, 2, {1267, 1279}, {8, 9}, {26, 25, 26, 25, 24, 22, 20, 20, 20, 20, 20, 22, 24, 25, 26, 25}},
    {24, 2, {1273, 1274}, {8, 9}, {37, 37, 37, 35, 35, 33, 32, 31, 31, 31, 32, 33, 35, 35, 37, 37}},
    {40, 4, {1280, 1281, 1282, 1283}, {4, 4, 4, 5}, {60, 59, 60, 59, 58, 56, 54, 54, 54, 54, 54, 56, 58, 59, 60, 59}},
};

const CogKind* KindOf(int teeth)
{
    for (const CogKind& k : kKinds)
        if (k.teeth == teeth) return &k;
    return nullptr;
}

// One shared picture set per bitmap.
CVisual* Picture(int id, int frames, int size)
{
    // The registry of every picture set outlives these, which leave it
    // when they go.
    static const std::vector<CVisual*>& registry = CVisual::All();
    (void)registry;
    static std::vector<std::unique_ptr<CVisual>> all;
    for (auto& v : all)
        if (v->GetBitmapId(0) == id) return v.get();
    all.push_back(std::make_unique<CVisual>(0, 0, id, frames, 0, 0, size, size));
    return all.back().get();
}

} // namespace

CCog::CCog() : m_dToothAngle(std::numbers::pi / 4.0)
{
    const CogKind* k = KindOf(8);
    m_pRimTable = k->rim;
    m_rect.SetRect(0, 0, 39, 39);
}

CVisual* CCog::PictureOf(int teeth, int frame, int* frameInPicture)
{
    const CogKind* k = KindOf(teeth);
    if (!k || frame < 0 || frame > 16) return nullptr;
    const int size = 4 * teeth + 7;
    // Frames run across the pictures in order; the blur frame (16) is the
    // last frame of the last picture.
    int first = 0;
    for (int p = 0; p < k->pictureCount; ++p) {
        const int count = k->frames[p];
        if (frame < first + count) {
            if (frameInPicture) *frameInPicture = frame - first;
            return Picture(k->ids[p], count, size);
        }
        first += count;
    }
    return nullptr;
}

int CCog::SetTeeth(int teeth)
{
    const CogKind* k = KindOf(teeth);
    if (!k) return 0;
    m_wTeeth = static_cast<uint16_t>(teeth);
    m_wPitchRadius = static_cast<uint16_t>(2 * teeth);
    m_dToothAngle = kTwoPi / teeth;
    m_nPictureCount = static_cast<int16_t>(k->pictureCount);
    m_pRimTable = k->rim;
    const int size = 4 * teeth + 7;
    m_rect.SetRect(0, 0, size, size);
    for (int j = 0; j < 16; ++j) {
        m_subSin[j] = std::sin(j * m_dToothAngle / 16.0);
        m_subCos[j] = std::cos(j * m_dToothAngle / 16.0);
    }
    for (int i = 0; i < 40; ++i) {
        m_toothSin[i] = i < teeth ? std::sin(i * kTwoPi / teeth) : 0.0;
        m_toothCos[i] = i < teeth ? std::cos(i * kTwoPi / teeth) : 0.0;
    }
    m_wMarkerRadius = static_cast<int16_t>(2 * teeth - 10);
    return 1;
}

void CCog::Place(int x, int y, const CRect& rect)
{
    m_rect.OffsetRect(x, y);
    m_nCentreX = x + m_wPitchRadius + 3;
    m_nCentreY = y + m_wPitchRadius + 3;
    m_nHeight = rect.Height();
    m_nSum = m_nCentreX + m_nCentreY - m_nHeight;
}

int CCog::FrameOfAngle(double angle) const
{
    const double t = m_dToothAngle;
    if (!std::isfinite(angle)) return 0;
    double r = std::fmod(angle + t / 32.0, t);
    if (r < 0.0) r += t;
    const int frame = static_cast<int>(std::floor(16.0 * r / t));
    return frame >= 16 || frame < 0 ? 0 : frame;
}

void CCog::SetMarker(int frame, double angle)
{
    if (!std::isfinite(angle)) angle = 0.0;
    double a = std::fmod(angle + m_dToothAngle / 32.0, kTwoPi);
    if (a < 0.0) a += kTwoPi;
    int i = static_cast<int>(std::floor(a / m_dToothAngle));
    if (i >= m_wTeeth || i < 0) i = 0;
    const int j = ((frame - m_wRestFrame) % 16 + 16) % 16;
    // sin(A + B) and cos(A + B) from the tables.
    const double s = m_toothSin[i] * m_subCos[j] + m_toothCos[i] * m_subSin[j];
    const double c = m_toothCos[i] * m_subCos[j] - m_toothSin[i] * m_subSin[j];
    m_marker.x = m_nCentreX - 3 + static_cast<int>(std::floor(0.5 - m_wMarkerRadius * s));
    m_marker.y = m_nCentreY - 3 + static_cast<int>(std::floor(0.5 - m_wMarkerRadius * c));
}

void CCog::SetRestAngle(double angle)
{
    const int frame = FrameOfAngle(angle);
    m_wFrame = m_wRestFrame = m_wPrintFrame = static_cast<uint16_t>(frame);
    SetMarker(frame, angle);
    m_dRestAngle = angle;
}

void CCog::RestoreRest()
{
    m_wFrame = m_wRestFrame;
    m_wFast = 0;
    SetMarker(m_wRestFrame, m_dRestAngle);
}

void CCog::Animate(double angle, double offset, double speed, double rate)
{
    const double e = angle + offset;
    const int frame = FrameOfAngle(e);
    SetMarker(frame, angle);
    m_bSlow = std::fabs(speed) <= kSlowPerStep * rate ? 1 : 0;
    m_wPrintFrame = static_cast<uint16_t>(frame);
    // Above 6/16 of a tooth a step the true frames would alias (a wheel seen
    // turning backwards); a fast wheel steps a steady 6 frames instead.
    const double g = rate * m_dToothAngle * 6.0 / 16.0;
    if (speed > g) {
        m_wFast = 1;
        m_wFrame = static_cast<uint16_t>((m_wFrame + 6) % 16);
    } else if (speed < -g) {
        m_wFast = 1;
        m_wFrame = static_cast<uint16_t>((m_wFrame + 10) % 16);
    } else {
        m_wFast = 0;
        m_wFrame = static_cast<uint16_t>(frame);
    }
}

int CCog::FrameForFlags(unsigned long flags) const
{
    if (flags & kPrinting) return m_wPrintFrame;
    return (flags & kRunning) ? m_wFrame : m_wRestFrame;
}

int CCog::GetRimOffset(int frame) const
{
    if (m_wFixedRimOffset) return m_wFixedRimOffset;
    return m_pRimTable ? m_pRimTable[frame & 15] : 0;
}

void CCog::Draw(CPoint origin, int edgeLine, unsigned long flags) const
{
    const int frame = FrameForFlags(flags);
    const CPoint at = origin + m_rect.TopLeft();
    if (m_bVisible) {
        int index = 0;
        if (m_wFast && (flags & kRunning) && !(flags & kPrinting))
            if (CVisual* blur = PictureOf(m_wTeeth, 16, &index))
                blur->DrawBitmap(at.x, at.y, index, 0, {0, 0}, blur->GetSize(), 0, SRCAND);
        if (CVisual* v = PictureOf(m_wTeeth, frame, &index))
            v->DrawBitmap(at.x, at.y, index, 0, {0, 0}, v->GetSize(), 0, SRCAND);
    }
    if (edgeLine) {
        // From the rim up and to the right at 45 degrees to the owner's top
        // edge (the depth of the wheel, as a textbook draws it).
        const int o = GetRimOffset(frame);
        const CPoint c(origin.x + m_nCentreX, origin.y + m_nCentreY);
        const int rise = m_nCentreY - o;
        if (rise > 0) CDisplay::DrawEdgeLine(c.x + o, c.y - o, c.x + o + rise, origin.y, false);
    }
}

void CCog::Serialize(CArchive& ar)
{
    CObject::Serialize(ar);
    auto word = [](int v) { return static_cast<WORD>(v); };
    if (ar.IsStoring()) {
        ar << word(m_wTeeth) << word(m_nCentreX) << word(m_nSum) << word(m_nCentreY) << word(m_nHeight)
           << word(m_wFrame) << word(m_wRestFrame) << word(m_bVisible) << word(m_marker.x) << word(m_marker.y)
           << word(m_wMarkerRadius) << word(m_wFixedRimOffset) << word(m_wFast);
        if (ar.GetVersion() >= 4) ar << word(m_bSlow) << word(m_wPrintFrame);
        return;
    }
    WORD teeth, cx, sum, cy, height, frame, rest, visible, mx, my, radius, rim, fast;
    ar >> teeth >> cx >> sum >> cy >> height >> frame >> rest >> visible >> mx >> my >> radius >> rim >> fast;
    if (!SetTeeth(teeth)) throw CArchiveException(CArchiveException::badSchema);
    m_nCentreX = static_cast<int16_t>(cx);
    m_nCentreY = static_cast<int16_t>(cy);
    m_nSum = static_cast<int16_t>(sum);
    m_nHeight = static_cast<int16_t>(height);
    m_rect.OffsetRect(m_nCentreX - m_wPitchRadius - 3, m_nCentreY - m_wPitchRadius - 3);
    // Frames beyond a tooth's sixteen would pick no picture.
    m_wFrame = frame % 16;
    m_wRestFrame = rest % 16;
    // The rest angle is not stored; the rest frame gives it to a sixteenth
    // of a tooth (0 for a left wheel, half a tooth for its partner), so a
    // reset after loading puts the handle back where the wheel stands.
    m_dRestAngle = m_wRestFrame * m_dToothAngle / 16.0;
    m_bVisible = visible;
    m_marker = CPoint(static_cast<int16_t>(mx), static_cast<int16_t>(my));
    m_wMarkerRadius = static_cast<int16_t>(radius);
    m_wFixedRimOffset = rim;
    m_wFast = fast ? 1 : 0;
    if (ar.GetVersion() >= 4) {
        WORD slow, print;
        ar >> slow >> print;
        m_bSlow = slow ? 1 : 0;
        m_wPrintFrame = print % 16;
    }
}
