// The design an information request is made for.  While a CInfoDesign
// lives, a proxy part (CDummyPart) builds its information text from its
// parent in that design and not in the active one: the bubble of a view
// that is not the active one asks for its own design's texts.
#pragma once

class CPartTree;

class CInfoDesign {
public:
    explicit CInfoDesign(CPartTree* design);
    ~CInfoDesign();
    CInfoDesign(const CInfoDesign&) = delete;
    CInfoDesign& operator=(const CInfoDesign&) = delete;

    // The design of the innermost living request, or null.
    static CPartTree* Current();

private:
    CPartTree* m_previous;
};
