#include "app/graph_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace {
const int kChannelIds[2][4] = {{174, 175, 176, 177}, {178, 179, 180, 182}};
const int kDifferenceIds[2][2] = {{186, 187}, {188, 189}};
const char* const kChannelNames[4] = {"Red", "Blue", "Purple", "Green"};
const char* const kDifferenceNames[2] = {"Red Curve = Red - Blue Probe", "Purple Curve = Purple - Green Probe"};
} // namespace

CAdvancedScopeDialog::CAdvancedScopeDialog(CAdvancedScopeForm& form, QWidget* parent) : QDialog(parent), m_form(form)
{
    setWindowTitle(QStringLiteral("Advanced Graph Controls"));
    auto* layout = new QVBoxLayout(this);
    m_two = new QCheckBox(QStringLiteral("Two Graphs"));
    m_pause = new QCheckBox(QStringLiteral("Auto Pause when Full"));
    m_lock = new QCheckBox(QStringLiteral("Lock Controls when Simulation Locked"));
    m_two->setObjectName(QStringLiteral("box173"));
    m_pause->setObjectName(QStringLiteral("box150"));
    m_lock->setObjectName(QStringLiteral("box151"));
    layout->addWidget(m_two);
    layout->addWidget(m_pause);
    layout->addWidget(m_lock);
    for (int g = 0; g < 2; ++g) {
        auto* group = new QGroupBox(g == 0 ? QStringLiteral("Top graph") : QStringLiteral("Bottom graph"));
        auto* grid = new QGridLayout(group);
        for (int c = 0; c < 4; ++c) {
            auto* box = new QCheckBox(QString::fromLatin1(kChannelNames[c]));
            box->setObjectName(QStringLiteral("box%1").arg(kChannelIds[g][c]));
            grid->addWidget(box, 0, c);
            m_channel[g][c] = box;
            connect(box, &QCheckBox::clicked, this, [this, g, c](bool on) {
                m_form.SetChannel(g, c, on);
                Refresh();
            });
        }
        for (int p = 0; p < 2; ++p) {
            auto* box = new QCheckBox(QString::fromLatin1(kDifferenceNames[p]));
            box->setObjectName(QStringLiteral("box%1").arg(kDifferenceIds[g][p]));
            grid->addWidget(box, 1 + p, 0, 1, 4);
            m_difference[g][p] = box;
            connect(box, &QCheckBox::clicked, this, [this, g, p](bool on) {
                m_form.SetDifference(g, p, on);
                Refresh();
            });
        }
        layout->addWidget(group);
    }
    connect(m_two, &QCheckBox::clicked, this, [this](bool on) {
        m_form.twoGraphs = on;
        Refresh();
    });
    connect(m_pause, &QCheckBox::clicked, this, [this](bool on) { m_form.autoPause = on; });
    connect(m_lock, &QCheckBox::clicked, this, [this](bool on) { m_form.lockControls = on; });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    Refresh();
}

QCheckBox* CAdvancedScopeDialog::Box(int id) const { return findChild<QCheckBox*>(QStringLiteral("box%1").arg(id)); }

void CAdvancedScopeDialog::Refresh()
{
    m_two->setChecked(m_form.twoGraphs);
    m_pause->setChecked(m_form.autoPause);
    m_lock->setChecked(m_form.lockControls);
    for (int g = 0; g < 2; ++g) {
        for (int c = 0; c < 4; ++c) {
            m_channel[g][c]->setChecked(m_form.GetChannel(g, c));
            m_channel[g][c]->setEnabled(m_form.IsChannelEnabled(g, c));
        }
        for (int p = 0; p < 2; ++p) {
            m_difference[g][p]->setChecked(m_form.GetDifference(g, p));
            m_difference[g][p]->setEnabled(m_form.IsDifferenceEnabled(g, p));
        }
    }
}
