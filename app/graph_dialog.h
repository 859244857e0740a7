// "Advanced Graph Controls" (CAdvancedScopeDialog): the check boxes over
// CAdvancedScopeForm, which holds every rule.
#pragma once

#include "measure/scope_advanced.h"

#include <QDialog>

#include <array>

class QCheckBox;

class CAdvancedScopeDialog : public QDialog {
    Q_OBJECT
public:
    CAdvancedScopeDialog(CAdvancedScopeForm& form, QWidget* parent = nullptr);

    // The boxes by their control ids (173 Two Graphs, 150, 151, 174-177,
    // 186, 187, 178-180, 182, 188, 189).
    QCheckBox* Box(int id) const;

private:
    void Refresh();

    CAdvancedScopeForm& m_form;
    QCheckBox* m_two = nullptr;
    QCheckBox* m_pause = nullptr;
    QCheckBox* m_lock = nullptr;
    std::array<std::array<QCheckBox*, 4>, 2> m_channel{};
    std::array<std::array<QCheckBox*, 2>, 2> m_difference{};
};
