// The About boxes of the Help menu: the program's About box (product name,
// version text, a line about the program and the maker's web address) and
// the movie player's, the same layout with the player's texts.  All texts
// come from the string table.
#pragma once

#include <QDialog>

class QLabel;
class CHyperLink;

class CAboutBox : public QDialog {
    Q_OBJECT
public:
    // The texts of one About box, by string id.
    struct Texts {
        int name;    // the product name, put where the caption and the line hold "%s"
        int version; // the version text (0: none)
        int line;    // a line about the product
        int address; // the web address of the link
    };
    static const Texts kProgram;
    static const Texts kMoviePlayer;

    explicit CAboutBox(const Texts& texts, QWidget* parent = nullptr);

    QString VersionText() const;
    CHyperLink* Link() const { return m_link; }

private:
    QLabel* m_version = nullptr;
    CHyperLink* m_link = nullptr;
};
