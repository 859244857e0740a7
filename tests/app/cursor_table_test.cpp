// The shared cursor table: our cursor pictures load from their text
// sources, codes reach the entries they stand for, and the canvas asks the
// table for its cursors.
#include "app/canvas/canvas_controller.h"
#include "app/canvas/tesk_view.h"
#include "app/cursor_table.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QBitmap>
#include <QPainter>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

TEST(CursorTable, EveryEntryLoadsOurPicturesOrADesktopCursor)
{
    shelltest::EnsureShellApp();
    const CCursorTable& table = CCursorTable::Get();
    EXPECT_TRUE(table.Errors().isEmpty()) << table.Errors().join(QLatin1Char('\n')).toStdString();
    int pictures = 0;
    for (int i = 0; i < CCursorTable::kEntries; ++i) {
        if (!table.IsPicture(i)) {
            EXPECT_NE(table.Entry(i).shape(), Qt::BitmapCursor) << i;
            continue;
        }
        ++pictures;
        const QImage image = table.Entry(i).pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(32, 32)) << i;
        // The key colour is see-through; ink carries a white rim.
        EXPECT_EQ(qAlpha(image.pixel(31, 0)), 0) << i;
        int ink = 0, rim = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb p = image.pixel(x, y);
                if (qAlpha(p) == 0) continue;
                (p == 0xFFFFFFFFu ? rim : ink)++;
            }
        EXPECT_GT(ink, 20) << i;
        EXPECT_GT(rim, 20) << i;
        const QPoint hot = table.Entry(i).hotSpot();
        EXPECT_TRUE(QRect(0, 0, 32, 32).contains(hot)) << i;
    }
    EXPECT_EQ(pictures, 20);
    EXPECT_EQ(table.Entry(24).shape(), Qt::ArrowCursor);
    EXPECT_EQ(table.Entry(6).shape(), Qt::SizeVerCursor);
    EXPECT_EQ(table.Entry(7).shape(), Qt::SizeHorCursor);
}

TEST(CursorTable, CodesReachTheirEntries)
{
    struct Case { int code; int entry; };
    const Case cases[] = {
        {1, 24}, {3, 22}, {7, 18}, {8, 17}, {13, 12}, {18, 7}, {19, 2}, {20, 1}, {21, 3},
        {22, 6}, {23, 5}, {24, 4}, {25, 0}, {0, 24}, {26, 24}, {-3, 24},
    };
    for (const Case& c : cases) EXPECT_EQ(CCursorTable::EntryOfCode(c.code), c.entry) << c.code;
}

TEST(CursorTable, MalformedTablesAndPicturesAreReported)
{
    shelltest::EnsureShellApp();
    const CCursorTable bad("0\t611\t40 40\n1\t9999\t1 1\n30\tarrow\n", QStringLiteral(":/cursors"));
    const QString errors = bad.Errors().join(QLatin1Char('\n'));
    EXPECT_TRUE(errors.contains(QLatin1String("hot spot"))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QLatin1String("cursor_9999.pic"))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QLatin1String("entry 0-24"))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QLatin1String("entry 24 is missing"))) << errors.toStdString();
    // A missing entry falls back to the arrow.
    EXPECT_EQ(bad.Entry(5).shape(), Qt::ArrowCursor);
}

TEST(CursorTable, TheCanvasTakesItsCursorsFromTheTable)
{
    shelltest::EnsureShellApp();
    const CCursorTable& table = CCursorTable::Get();
    for (int code : {int(CURSOR_DRAG), int(CURSOR_DELETE), int(CURSOR_DELETE_HOLDING), 9, 10, 13, 14, 20}) {
        const QCursor c = CTeskView::CursorForCode(code);
        ASSERT_EQ(c.shape(), Qt::BitmapCursor) << code;
        EXPECT_EQ(c.pixmap().toImage(), table.ForCode(code).pixmap().toImage()) << code;
        EXPECT_EQ(c.hotSpot(), table.ForCode(code).hotSpot()) << code;
    }
    EXPECT_EQ(CTeskView::CursorForCode(CURSOR_ARROW).shape(), Qt::ArrowCursor);
}

// Writes every cursor of the table at twice its size on a light and on a
// dark mat (the hot spot marked by a green dot beside each), so a person can
// look at them all at once.  The file goes to $WB_CURSOR_SHEET, or
// cursor_contact_sheet.png in the build folder.
TEST(CursorTable, ContactSheet)
{
    shelltest::EnsureShellApp();
    const CCursorTable& table = CCursorTable::Get();
    constexpr int kCell = 80;
    QImage sheet(kCell * CCursorTable::kEntries, kCell * 2, QImage::Format_ARGB32);
    QPainter p(&sheet);
    p.fillRect(0, 0, sheet.width(), kCell, QColor(235, 235, 235));
    p.fillRect(0, kCell, sheet.width(), kCell, QColor(40, 40, 60));
    int drawn = 0;
    for (int i = 0; i < CCursorTable::kEntries; ++i) {
        if (!table.IsPicture(i)) continue;
        const QPixmap pixmap = table.Entry(i).pixmap();
        const QPoint hot = table.Entry(i).hotSpot();
        for (int row = 0; row < 2; ++row) {
            const QPoint at(i * kCell + 8, row * kCell + 8);
            p.drawPixmap(QRect(at, pixmap.size() * 2), pixmap);
            p.fillRect(QRect(at + hot * 2, QSize(2, 2)), Qt::green);
        }
        ++drawn;
    }
    p.end();
    EXPECT_EQ(drawn, 20);
    const char* env = std::getenv("WB_CURSOR_SHEET");
    const QString path = env ? QString::fromLocal8Bit(env) : QString(WB_BUILD_DIR "/cursor_contact_sheet.png");
    ASSERT_TRUE(sheet.save(path, "PNG")) << path.toStdString();
    std::printf("contact sheet: %s\n", path.toLocal8Bit().constData());
}
