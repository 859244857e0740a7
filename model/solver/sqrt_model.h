// Square-root law y = sqrt(x / p + 1) - 1 (odd in x) in levels of width p.
#pragma once

#include "model/solver/state.h"

class CSqrtModel : public CState {
public:
    static constexpr int kTopLevel = 10000;

    double Update() override;
    int GetLevel() const { return m_Level; }
    double GetWidth() const { return m_Width; }

private:
    double m_Width = 0.06;
    int m_Level = 0;
};
