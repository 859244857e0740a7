// fuzz-links: wb_model
// Stored label text is read from design files: the RTF reader, the writer
// fed with what it read, the byte rewrites and the document bridge must
// take any bytes, and what they give must read back the same.
#include "model/text/rtf_document.h"
#include "model/text/rtf_model.h"
#include "model/text/rtf_rewrite.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>
#include <string_view>

// fontconfig keeps its font cache to the end of the process by design.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "fuzz_rtf";
        static char* argv[] = {name, nullptr};
        auto* made = new QGuiApplication(argc, argv);
        // Font look-ups cache in fontconfig; closing the application at
        // exit frees them, so the leak check sees only our own memory.
        std::atexit([] { delete QCoreApplication::instance(); });
        return made;
    }();
    (void)app;
    std::string_view in(reinterpret_cast<const char*>(data), size);
    RtfDocument doc = ReadRtf(in);
    std::string written = WriteRtf(doc);
    // Below the reader's paragraph cap, what is written reads back the same.
    if (doc.paragraphs.size() < 9000 && !(ReadRtf(written) == doc)) std::abort();
    // The byte rewrites give text that still reads.
    ReadRtf(RescaleRtfFontSizes(in, 1.28));
    ReadRtf(FixRtfFontTable(in));
    if (size < 4096) {
        // Through the editor's document and back: after one pass the RTF
        // form is settled, so a second pass through the document and the
        // bytes changes nothing.
        QTextDocument qt;
        RtfToTextDocument(doc, &qt);
        qt.size();
        const RtfDocument settled = RtfFromTextDocument(qt);
        const RtfDocument reread = ReadRtf(WriteRtf(settled));
        QTextDocument qt2;
        RtfToTextDocument(reread, &qt2);
        if (!(RtfFromTextDocument(qt2) == settled)) std::abort();
    }
    return 0;
}
