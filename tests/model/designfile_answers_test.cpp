// Linking question designs to their answer file.
#include "model/circuit/circuit.h"
#include "model/designfile/answer_link.h"

#include "platform/messagebox.h"
#include "platform/strings.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct FakeHost : IAnswerFileHost {
    std::map<CCircuit*, CString> paths;
    std::map<CString, CCircuit*> files; // what OpenDesign can open
    int opened = 0;
    CCircuit* OpenDesign(const CString& path) override
    {
        ++opened;
        auto it = files.find(path);
        return it == files.end() ? nullptr : it->second;
    }
    std::vector<CCircuit*> OpenDesigns() override
    {
        std::vector<CCircuit*> out;
        for (auto& [d, p] : paths) out.push_back(d);
        return out;
    }
    CString PathOf(CCircuit* d) override { return paths.count(d) ? paths[d] : CString(); }
};

} // namespace

TEST(DesignfileAnswers, LinksToTheCandidateOrOpensTheFile)
{
    CCircuit activity, answers;
    FakeHost host;
    host.paths[&activity] = "/school/books/act1.zrn";
    host.paths[&answers] = "/school/key.zrn";
    activity.m_fileExtras.range.linked = 1;
    activity.m_fileExtras.range.name = "..\\KEY.ZRN";
    ASSERT_TRUE(LinkAnswerFile(&activity, &answers, host));
    EXPECT_EQ(host.opened, 0);
    EXPECT_EQ(activity.m_fileExtras.range.GetMasterRange(), &answers.m_fileExtras.range);
    EXPECT_EQ(answers.m_fileExtras.range.links.size(), 1u);

    // Without a matching candidate the host opens it.
    CCircuit other;
    activity.m_fileExtras.range.links.clear();
    answers.m_fileExtras.range.links.clear();
    host.files["/school/KEY.ZRN"] = &answers;
    ASSERT_TRUE(LinkAnswerFile(&activity, &other, host));
    EXPECT_EQ(host.opened, 1);
}

TEST(DesignfileAnswers, RefusesChainsAndReportsMissingFiles)
{
    CRecordingMessageBox box;
    CMessageBoxScope scope(&box);
    CCircuit activity, chained;
    FakeHost host;
    host.paths[&activity] = "/a/act.zrn";
    host.paths[&chained] = "/a/key.zrn";
    activity.m_fileExtras.range.linked = 1;
    activity.m_fileExtras.range.name = ".\\key.zrn";
    chained.m_fileExtras.range.linked = 1;
    EXPECT_FALSE(LinkAnswerFile(&activity, &chained, host));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, LoadResString(36603));
    activity.m_fileExtras.range.name = ".\\gone.zrn";
    EXPECT_FALSE(LinkAnswerFile(&activity, nullptr, host));
    EXPECT_EQ(box.shown.back().text, LoadResString(36585) + ".\\gone.zrn");
}

TEST(DesignfileAnswers, OpeningAnAnswerFileLinksTheDesignsThatUseIt)
{
    CCircuit a, b, key;
    FakeHost host;
    host.paths[&a] = "/s/a.zrn";
    host.paths[&b] = "/s/b.zrn";
    host.paths[&key] = "/s/key.zrn";
    a.m_fileExtras.range.linked = 1;
    a.m_fileExtras.range.name = ".\\key.zrn";
    UpdateAnswerLinks(&key, host);
    EXPECT_EQ(a.m_fileExtras.range.GetMasterRange(), &key.m_fileExtras.range);
    EXPECT_EQ(b.m_fileExtras.range.GetMasterRange(), &b.m_fileExtras.range);
    EXPECT_EQ(key.m_fileExtras.range.links.size(), 1u);
}
