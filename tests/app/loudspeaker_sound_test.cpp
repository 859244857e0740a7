// The loudspeaker in the real main window: placed from the sound toolbar,
// it records while the design runs; Play Sound loops the recording through
// the application's sound output, Stop Playing stops it, and Save Sound
// writes the recording (which pausing for the dialog keeps) to a WAVE file.
#include "app/canvas/tesk_view.h"
#include "app/save_sound_dialog.h"
#include "app/tesk_app.h"
#include "measure/loudspeaker.h"
#include "measure/sound_system.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {

constexpr int kSoundBar = 149;
constexpr int kLoudspeaker = 33505;

class LoudspeakerWindow : public CanvasWindowTest {};

bool Enabled(CTeskApp& app, int id)
{
    CCmdUI ui;
    ui.id = id;
    app.RouteUpdate(ui);
    return ui.enabled;
}

TEST_F(LoudspeakerWindow, RecordsPlaysAndSaves)
{
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    CTeskApp& app = *CTeskApp::Get();
    EXPECT_FALSE(Enabled(app, 36019));
    auto* speaker = dynamic_cast<CLoudSpeaker*>(AddFromToolbar(kSoundBar, kLoudspeaker, QPoint(240, 160)));
    ASSERT_NE(speaker, nullptr);
    EXPECT_EQ(Design()->FindProbe(4), speaker->SoundProbe());
    // One sound source only: the command is greyed now.
    EXPECT_FALSE(Enabled(app, kLoudspeaker));

    // Nothing is wired to it: it records silence, 40 frames.
    Design()->ResetRun(0);
    Design()->SetUpdateRate(Design()->RequestedUpdateRate());
    EXPECT_DOUBLE_EQ(Design()->GetUpdateRate(), 11025.0);
    for (int i = 0; i < 40; ++i) Design()->RunSolverPass();
    ASSERT_EQ(speaker->Sample().Length(), 40);
    EXPECT_TRUE(Enabled(app, 36019));

    // Play Sound loops the whole recording; Stop Playing ends it.
    ASSERT_TRUE(Enabled(app, 36014));
    app.RouteCommand(36014);
    EXPECT_TRUE(app.Sound().IsSoundLooping());
    EXPECT_TRUE(Enabled(app, 36015));
    app.RouteCommand(36015);
    EXPECT_FALSE(app.Sound().IsSoundQueued());

    // Save Sound: the whole recording (no selection is offered).
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("speaker.wav"));
    bool seen = false;
    shelltest::WhenModal<CSaveSoundDialog>([&](CSaveSoundDialog* d) {
        seen = true;
        EXPECT_FALSE(d->findChild<QRadioButton*>("ctl209")->isEnabled());
        EXPECT_TRUE(d->findChild<QRadioButton*>("ctl208")->isChecked());
        shelltest::ChooseFile(path);
        d->accept();
    });
    app.RouteCommand(36019);
    EXPECT_TRUE(seen);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), 44 + 2 * 40);
    EXPECT_EQ(bytes.mid(24, 4), QByteArray("\x11\x2B\0\0", 4)); // 11025 Hz
    EXPECT_EQ(bytes.mid(44), QByteArray(80, '\0'));
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
