// The hyperlink control: what it shows and opens, its colours, and the
// message when the desktop cannot open the address.
#include "app/hyperlink.h"
#include "platform/messagebox.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QTest>

TEST(HyperLink, ShowsItsUrlOrOpensItsText)
{
    shelltest::EnsureShellApp();
    QStringList opened;
    CHyperLink::Opener saved = CHyperLink::UrlOpener();
    CHyperLink::UrlOpener() = [&](const QString& url) {
        opened << url;
        return true;
    };
    CHyperLink empty;
    empty.SetURL(QStringLiteral("https://example.org/a"));
    EXPECT_EQ(empty.text(), QStringLiteral("https://example.org/a"));
    CHyperLink bare(QStringLiteral("https://example.org/b"));
    EXPECT_EQ(bare.GetURL(), QStringLiteral("https://example.org/b"));
    bare.show();
    EXPECT_EQ(bare.CurrentColour(), QColor(0, 0, 238));
    QTest::mouseClick(&bare, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(opened, QStringList{QStringLiteral("https://example.org/b")});
    EXPECT_TRUE(bare.GetVisited());
    EXPECT_EQ(bare.CurrentColour(), QColor(85, 26, 139));
    EXPECT_TRUE(bare.font().underline());
    EXPECT_EQ(bare.toolTip(), QStringLiteral("https://example.org/b"));
    CHyperLink::UrlOpener() = saved;
}

TEST(HyperLink, FailureIsReported)
{
    shelltest::EnsureShellApp();
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    CHyperLink::Opener saved = CHyperLink::UrlOpener();
    CHyperLink::UrlOpener() = [](const QString&) { return false; };
    CHyperLink link(QStringLiteral("mailto:nobody"));
    link.show();
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_FALSE(link.GetVisited());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Unable to open hyperlink:\n\nThere is no application associated", 0), 0u);
    EXPECT_TRUE(HyperlinkErrorText(99).endsWith(QStringLiteral("Unknown Error (99) occurred.")));
    EXPECT_TRUE(HyperlinkErrorText(2).endsWith(QStringLiteral("The specified file was not found.")));
    CHyperLink::UrlOpener() = saved;
}
