// The About boxes of the Help menu: the program's About box (product name,
// version text, a line about the program and the maker's web address) and
// the movie player's, the same layout with the player's texts.  All texts
// come from the string table.
#pragma once

#include <QDialog>

class QLabel;
class QTimer;
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

    // The program's About box as the start-up shows it: not modal, above the
    // main window, deleted when closed.  It closes by itself after ms
    // milliseconds, or at the first mouse press or key press anywhere in the
    // program (that press still goes where it was aimed).
    static CAboutBox* ShowSplash(QWidget* parent, int ms = kSplashMs);
    static constexpr int kSplashMs = 4000;
    // The timer that ends the splash (null for a plain About box).
    QTimer* SplashTimer() const { return m_splashTimer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer* m_splashTimer = nullptr;
    QLabel* m_version = nullptr;
    CHyperLink* m_link = nullptr;
};
