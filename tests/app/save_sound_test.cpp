// Sound/Save Sound and Play Sound in the real main window: greyed without
// a recording; with one, the selection (offered and chosen first) or the
// whole sample goes to the chosen WAVE file, and Play plays the selection.
#include "app/main_frame.h"
#include "app/save_sound_dialog.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "measure/sound_recording.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>

using namespace shelltest;

namespace {

// 100 frames counting up from -50 at 8000 Hz; frames 10 to 19 selected.
struct Ramp : CSoundRecording {
    int Length() const override { return 100; }
    int16_t Frame(int i) const override { return static_cast<int16_t>(i - 50); }
    uint32_t Rate() const override { return 8000; }
    bool GetSelection(int* first, int* last) const override
    {
        *first = 10;
        *last = 19;
        return true;
    }
};

int16_t SampleAt(const QByteArray& file, int frame)
{
    const int at = 44 + 2 * frame;
    return static_cast<int16_t>(static_cast<uint8_t>(file[at]) | (static_cast<uint8_t>(file[at + 1]) << 8));
}

} // namespace

TEST(SaveSound, SelectionOrWholeRecordingToTheChosenFile)
{
    EnsureShellApp();
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    auto app = std::make_unique<CTeskApp>();
    ASSERT_TRUE(app->InitInstance({}));
    CCmdUI ui;
    ui.id = 36019;
    app->RouteUpdate(ui);
    EXPECT_FALSE(ui.enabled);

    Ramp ramp;
    InstallSoundRecordingFinder([&ramp](CCircuit*) { return &ramp; });
    ui = CCmdUI();
    ui.id = 36019;
    app->RouteUpdate(ui);
    EXPECT_TRUE(ui.enabled);

    QTemporaryDir dir;
    struct Case {
        bool whole;
        const char* name;
        int frames;
        int first;
    } cases[] = {{false, "selection.wav", 10, 10}, {true, "whole.wav", 100, 0}};
    for (const Case& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        bool seen = false;
        WhenModal<CSaveSoundDialog>([&](CSaveSoundDialog* d) {
            seen = true;
            auto* selection = d->findChild<QRadioButton*>("ctl209");
            EXPECT_TRUE(selection->isEnabled());
            EXPECT_TRUE(selection->isChecked());
            if (c.whole) d->findChild<QRadioButton*>("ctl208")->setChecked(true);
            ChooseFile(path);
            d->accept();
        });
        app->RouteCommand(36019);
        EXPECT_TRUE(seen) << c.name;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.name;
        const QByteArray bytes = file.readAll();
        ASSERT_EQ(bytes.size(), 44 + 2 * c.frames) << c.name;
        EXPECT_EQ(bytes.left(4), QByteArray("RIFF"));
        for (int i = 0; i < c.frames; ++i) EXPECT_EQ(SampleAt(bytes, i), c.first + i - 50) << c.name << " " << i;
    }
    EXPECT_TRUE(messages.shown.empty());

    // Play Sound plays the selection and says so.
    ui = CCmdUI();
    ui.id = 36014;
    app->RouteUpdate(ui);
    EXPECT_TRUE(ui.enabled);
    app->RouteCommand(36014);
    EXPECT_EQ(app->GetMainFrame()->statusBar()->currentMessage(), QStringLiteral("Played selection"));
    // Muted: greyed.
    app->GetActiveDocument()->GetDesign()->SetOptionBits(0x8, true);
    ui = CCmdUI();
    ui.id = 36014;
    app->RouteUpdate(ui);
    EXPECT_FALSE(ui.enabled);

    InstallSoundRecordingFinder(nullptr);
    app->GetActiveDocument()->SetModifiedFlag(false);
    app->CloseAllDocuments();
    app->ExitInstance();
}
