#include "measure/sound_recording.h"

#include "measure/probe.h"
#include "model/circuit/circuit.h"

namespace {
SoundRecordingFinder& Finder()
{
    static SoundRecordingFinder finder;
    return finder;
}
} // namespace

void InstallSoundRecordingFinder(SoundRecordingFinder finder) { Finder() = std::move(finder); }

CSoundRecording* FindSoundRecording(CCircuit* design)
{
    if (!design) return nullptr;
    if (Finder()) return Finder()(design);
    // The loudspeaker's sample, through the design's sound probe.
    const auto* probe = dynamic_cast<const CProbe*>(design->FindProbe(CProbe::kSoundChannel));
    return probe ? dynamic_cast<CSoundRecording*>(probe->GetSoundSource()) : nullptr;
}

CSaveSoundChoice CSaveSoundChoice::For(const CSoundRecording& recording)
{
    int first = 0, last = -1;
    CSaveSoundChoice c;
    c.selectionOffered = recording.GetSelection(&first, &last) && first <= last;
    c.selection = c.selectionOffered;
    return c;
}

bool SaveRecording(const CSoundRecording& recording, bool selection, const std::string& path)
{
    int first = 0, last = -1;
    const bool has = recording.GetSelection(&first, &last);
    const CFrameRange range = FramesToSave(recording.Length(), selection && has, first, last);
    std::vector<int16_t> frames;
    frames.reserve(static_cast<size_t>(range.count));
    for (int i = 0; i < range.count; ++i) frames.push_back(recording.Frame(range.first + i));
    return WriteWaveFile(path, CWaveFormat::Mono16(recording.Rate()), Frames16(frames, {0, range.count}));
}
